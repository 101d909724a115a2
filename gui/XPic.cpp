#include "gui/XPic.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "gui/XSkin.h"

// The one home of the PNG decoder's code. Skin pictures are small; the size cap keeps a
// damaged header from asking for gigabytes.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

static_assert(XPic::kMaxSide == STBI_MAX_DIMENSIONS);

namespace {

std::uint8_t Clamp255(float v)
{
    // Truncation toward zero, then the clamp, as a float-to-int conversion does.
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<std::uint8_t>(v);
}

}  // namespace

bool XPic::Load(std::string_view name)
{
    Clear();
    const std::span<const std::uint8_t> bytes = XSkin::Find(name);
    if (bytes.empty()) {
        Log("XPic::Load(%.*s) no such picture", static_cast<int>(name.size()), name.data());
        return false;
    }
    if (!LoadPng(bytes)) {
        Log("XPic::Load(%.*s) damaged picture", static_cast<int>(name.size()), name.data());
        return false;
    }
    return true;
}

bool XPic::LoadPng(std::span<const std::uint8_t> png)
{
    Clear();
    if (png.empty() || png.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return false;
    }
    int w = 0, h = 0, channels = 0;
    stbi_uc* data =
        stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 4);
    if (!data) return false;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
        stbi_image_free(data);
        return false;
    }
    const bool hasAlpha = channels == 2 || channels == 4;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    pixels_.resize(count);
    if (hasAlpha) mask_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const stbi_uc* p = data + i * 4;
        pixels_[i] =
            static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
        if (hasAlpha) mask_[i] = p[3] >= 128 ? 1 : 0;
    }
    stbi_image_free(data);
    width_ = w;
    height_ = h;
    return true;
}

XPic XPic::FromPixels(int width, int height, std::span<const std::uint32_t> pixels,
                      std::span<const std::uint8_t> mask)
{
    XPic pic;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return pic;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (pixels.size() != count || (!mask.empty() && mask.size() != count)) return pic;
    pic.pixels_.resize(count);
    std::transform(pixels.begin(), pixels.end(), pic.pixels_.begin(),
                   [](std::uint32_t p) { return p & 0xFFFFFFu; });
    if (!mask.empty()) {
        pic.mask_.resize(count);
        std::transform(mask.begin(), mask.end(), pic.mask_.begin(),
                       [](std::uint8_t m) -> std::uint8_t { return m ? 1 : 0; });
    }
    pic.width_ = width;
    pic.height_ = height;
    return pic;
}

void XPic::Clear()
{
    width_ = height_ = 0;
    pixels_.clear();
    mask_.clear();
}

template <typename F>
void XPic::ForEachChannel(F f)
{
    for (std::uint32_t& p : pixels_) {
        const int r = static_cast<int>(p >> 16 & 0xFF);
        const int g = static_cast<int>(p >> 8 & 0xFF);
        const int b = static_cast<int>(p & 0xFF);
        const int a = (r + g + b) / 3;
        p = static_cast<std::uint32_t>(f(r, a, 0)) << 16 |
            static_cast<std::uint32_t>(f(g, a, 1)) << 8 | f(b, a, 2);
    }
}

void XPic::Saturate(float t)
{
    ForEachChannel([t](int c, int a, int) {
        return Clamp255(static_cast<float>(c) * t + static_cast<float>(a) * (1.0f - t));
    });
}

void XPic::Brighten(float f)
{
    ForEachChannel([f](int c, int, int) { return Clamp255(static_cast<float>(c) * f); });
}

void XPic::Tint(XColor tint, float f)
{
    const float base[3] = {static_cast<float>(tint.red), static_cast<float>(tint.green),
                           static_cast<float>(tint.blue)};
    ForEachChannel(
        [&](int c, int, int i) { return Clamp255(base[i] + static_cast<float>(c) * f); });
}

std::uint32_t XPic::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

bool XPic::IsMasked(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return true;
    if (mask_.empty()) return false;
    return mask_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)] == 0;
}
