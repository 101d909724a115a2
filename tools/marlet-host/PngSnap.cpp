#include "tools/marlet-host/PngSnap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

// Private copy of the writer: the GUI's test support carries its own.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

const xcb_format_t* FormatOfDepth(xcb_connection_t* c, std::uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_format_t* formats = xcb_setup_pixmap_formats(setup);
    const int count = xcb_setup_pixmap_formats_length(setup);
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) return &formats[i];
    return nullptr;
}

}  // namespace

void PngSnap::Write(const XcbConnection& x, xcb_window_t window, int width, int height,
                    const std::string& path, int& writtenWidth, int& writtenHeight)
{
    xcb_connection_t* c = x.Get();
    // The server refuses a read of anything off the screen, so the snap is clipped to it.
    const XcbConnection::Reply<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, window, x.Screen().root, 0, 0), nullptr));
    if (!at) throw std::runtime_error("cannot find the editor window on the screen");
    const int w = std::min(width, x.Screen().width_in_pixels - at->dst_x);
    const int h = std::min(height, x.Screen().height_in_pixels - at->dst_y);
    if (w <= 0 || h <= 0 || at->dst_x < 0 || at->dst_y < 0)
        throw std::runtime_error("the editor window is not on the screen");

    xcb_generic_error_t* rawError = nullptr;
    const XcbConnection::Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, static_cast<std::uint16_t>(w),
                      static_cast<std::uint16_t>(h), ~0u),
        &rawError));
    const XcbConnection::Reply<xcb_generic_error_t> error(rawError);
    if (!image)
        throw std::runtime_error("the X server refused to read the window's pixels (error " +
                                 std::to_string(error ? error->error_code : 0) + ")");
    const xcb_format_t* format = FormatOfDepth(c, image->depth);
    if (!format || format->bits_per_pixel != 32 || image->depth < 24)
        throw std::runtime_error("cannot read pixels of depth " + std::to_string(image->depth));
    const xcb_setup_t* setup = xcb_get_setup(c);
    const bool bigEndian = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    const std::size_t stride = (static_cast<std::size_t>(w) * 32 + format->scanline_pad - 1) /
                               format->scanline_pad * format->scanline_pad / 8;
    const std::uint8_t* data = xcb_get_image_data(image.get());
    if (static_cast<std::size_t>(xcb_get_image_data_length(image.get())) < stride * h)
        throw std::runtime_error("the X server sent fewer pixels than asked for");

    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const std::uint8_t* p = data + row * stride + col * 4;
            std::uint8_t* out = &rgb[(static_cast<std::size_t>(row) * w + col) * 3];
            // 24-bit TrueColor: 0x00RRGGBB in the server's byte order.
            out[0] = bigEndian ? p[1] : p[2];
            out[1] = bigEndian ? p[2] : p[1];
            out[2] = bigEndian ? p[3] : p[0];
        }
    }
    if (!stbi_write_png(path.c_str(), w, h, 3, rgb.data(), w * 3))
        throw std::runtime_error("cannot write " + path);
    writtenWidth = w;
    writtenHeight = h;
}
