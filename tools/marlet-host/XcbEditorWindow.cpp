#include "tools/marlet-host/XcbEditorWindow.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// WM_NORMAL_HINTS with equal minimum and maximum: VST 2 editors have a fixed size.
void SetFixedSize(const XcbConnection& x, xcb_window_t window, int width, int height)
{
    constexpr std::uint32_t kMinSize = 1u << 4, kMaxSize = 1u << 5;
    std::array<std::uint32_t, 18> hints {};
    hints[0] = kMinSize | kMaxSize;
    hints[5] = hints[7] = static_cast<std::uint32_t>(width);
    hints[6] = hints[8] = static_cast<std::uint32_t>(height);
    xcb_change_property(x.Get(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, hints.size(), hints.data());
}

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

XcbEditorWindow::XcbEditorWindow(const XcbConnection& x, int width, int height,
                                 std::string_view title)
    : x_(x), width_(width), height_(height)
{
    xcb_connection_t* c = x.Get();
    const xcb_screen_t& screen = x.Screen();
    window_ = xcb_generate_id(c);
    const std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK;
    const std::array<std::uint32_t, 2> values {
        screen.black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE};
    const auto cookie = xcb_create_window_checked(
        c, XCB_COPY_FROM_PARENT, window_, screen.root, 0, 0, static_cast<std::uint16_t>(width),
        static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual,
        mask, values.data());
    std::string error;
    if (!x.Check(cookie, error)) {
        window_ = 0;
        throw std::runtime_error("cannot create the editor window: " + error);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    const xcb_atom_t protocols = x.Atom("WM_PROTOCOLS");
    deleteWindow_ = x.Atom("WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, protocols, XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow_);
    SetFixedSize(x, window_, width, height);
    xcb_flush(c);
}

XcbEditorWindow::~XcbEditorWindow()
{
    if (!window_ || x_.Broken()) return;
    xcb_destroy_window(x_.Get(), window_);
    xcb_flush(x_.Get());
}

void XcbEditorWindow::Resize(int width, int height)
{
    width_ = width;
    height_ = height;
    const std::array<std::uint32_t, 2> size {static_cast<std::uint32_t>(width),
                                             static_cast<std::uint32_t>(height)};
    xcb_configure_window(x_.Get(), window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size.data());
    SetFixedSize(x_, window_, width, height);
    xcb_flush(x_.Get());
}

void XcbEditorWindow::Show()
{
    xcb_map_window(x_.Get(), window_);
    xcb_flush(x_.Get());
    // Polled rather than waited for, so a server that never answers cannot hang the host.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline && !x_.Broken()) {
        const XcbConnection::Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(x_.Get(), xcb_get_window_attributes(x_.Get(), window_),
                                            nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool XcbEditorWindow::Pump()
{
    while (const XcbConnection::Reply<xcb_generic_event_t> event {xcb_poll_for_event(x_.Get())}) {
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) continue;
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
        if (message->window == window_ && message->format == 32 &&
            message->data.data32[0] == deleteWindow_)
            closeAsked_ = true;
    }
    return !closeAsked_ && !x_.Broken();
}

EditorWindow::Picture XcbEditorWindow::Read(bool screen) const
{
    xcb_connection_t* c = x_.Get();
    const XcbConnection::Reply<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, window_, x_.Screen().root, 0, 0), nullptr));
    if (!at) throw std::runtime_error("cannot find the editor window on the screen");
    const int w = std::min(width_, x_.Screen().width_in_pixels - at->dst_x);
    const int h = std::min(height_, x_.Screen().height_in_pixels - at->dst_y);
    if (w <= 0 || h <= 0 || at->dst_x < 0 || at->dst_y < 0)
        throw std::runtime_error("the editor window is not on the screen");

    xcb_generic_error_t* rawError = nullptr;
    const XcbConnection::Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen ? x_.Screen().root : window_,
                      static_cast<std::int16_t>(screen ? at->dst_x : 0),
                      static_cast<std::int16_t>(screen ? at->dst_y : 0),
                      static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), ~0u),
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

    Picture picture {w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 3)};
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const std::uint8_t* p = data + row * stride + col * 4;
            std::uint8_t* out = &picture.rgb[(static_cast<std::size_t>(row) * w + col) * 3];
            // 24-bit TrueColor: 0x00RRGGBB in the server's byte order.
            out[0] = bigEndian ? p[1] : p[2];
            out[1] = bigEndian ? p[2] : p[1];
            out[2] = bigEndian ? p[3] : p[0];
        }
    }
    return picture;
}

EditorWindow::Picture XcbEditorWindow::Snapshot() const
{
    return Read(false);
}

EditorWindow::Picture XcbEditorWindow::Screen() const
{
    return Read(true);
}
