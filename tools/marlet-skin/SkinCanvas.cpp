#include "tools/marlet-skin/SkinCanvas.h"

#include <cstdint>

#include "platform/FourCC.h"

SkinCanvas::SkinCanvas(int width, int height)
    : width_(width), height_(height), coverage_(static_cast<std::size_t>(width) * height, 1.0f)
{
    g_.RecordTextAreas(true);
    g_.Begin(nullptr, width, height);
}

SkinCanvas::SkinCanvas(int width, int height, std::span<const std::uint32_t> background)
    : width_(width),
      height_(height),
      masked_(true),
      coverage_(static_cast<std::size_t>(width) * height, 0.0f)
{
    g_.RecordTextAreas(true);
    g_.Begin(nullptr, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            if (i >= background.size()) return;
            g_.SetFillColor(XColor::FromPixel(background[i]));
            g_.FillRect(x, y, 1, 1);
        }
    }
}

XColor SkinCanvas::Mix(XColor a, XColor b, float t)
{
    const auto channel = [t](std::uint8_t p, std::uint8_t q) {
        const float v = static_cast<float>(p) + (static_cast<float>(q) - p) * t;
        return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0l, 255l));
    };
    return XColor(channel(a.red, b.red), channel(a.green, b.green), channel(a.blue, b.blue));
}

void SkinCanvas::Blend(int x, int y, XColor c, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0.0f) return;
    coverage = std::min(coverage, 1.0f);
    g_.SetFillColor(Mix(At(x, y), c, coverage));
    g_.FillRect(x, y, 1, 1);
    float& covered = coverage_[static_cast<std::size_t>(y) * width_ + x];
    covered = std::max(covered, coverage);
}

void SkinCanvas::Cover(const XRect& rect)
{
    for (int y = std::max(rect.top, 0); y <= std::min(rect.bottom, height_ - 1); ++y) {
        for (int x = std::max(rect.left, 0); x <= std::min(rect.right, width_ - 1); ++x) {
            coverage_[static_cast<std::size_t>(y) * width_ + x] = 1.0f;
        }
    }
}

namespace {

XRect Around(float cx, float cy, float r)
{
    return XRect(static_cast<int>(std::floor(cx - r - 1)), static_cast<int>(std::floor(cy - r - 1)),
                 static_cast<int>(std::ceil(cx + r + 1)), static_cast<int>(std::ceil(cy + r + 1)));
}

}  // namespace

void SkinCanvas::Disc(float cx, float cy, float r, XColor c)
{
    Shape(
        Around(cx, cy, r), [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; },
        [c](float, float) { return c; });
}

void SkinCanvas::ShadedDisc(float cx, float cy, float r, XColor top, XColor bottom)
{
    Shape(
        Around(cx, cy, r), [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; },
        [=](float, float y) {
            return Mix(top, bottom, std::clamp((y - cy + r) / (2 * r), 0.f, 1.f));
        });
}

void SkinCanvas::Ring(float cx, float cy, float r0, float r1, XColor c)
{
    const float mid = (r0 + r1) / 2, half = (r1 - r0) / 2;
    Shape(
        Around(cx, cy, r1),
        [=](float x, float y) { return std::abs(std::hypot(x - cx, y - cy) - mid) - half; },
        [c](float, float) { return c; });
}

void SkinCanvas::ThickLine(float x0, float y0, float x1, float y1, float width, XColor c)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    const XRect box(static_cast<int>(std::floor(std::min(x0, x1) - width - 1)),
                    static_cast<int>(std::floor(std::min(y0, y1) - width - 1)),
                    static_cast<int>(std::ceil(std::max(x0, x1) + width + 1)),
                    static_cast<int>(std::ceil(std::max(y0, y1) + width + 1)));
    Shape(
        box,
        [=](float x, float y) {
            const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0f, 1.0f);
            return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - width / 2;
        },
        [c](float, float) { return c; });
}

float SkinCanvas::RoundRectDistance(float x, float y, float l, float t, float r, float b,
                                    float radius)
{
    const float cx = (l + r) / 2, cy = (t + b) / 2;
    const float hx = (r - l) / 2 - radius, hy = (b - t) / 2 - radius;
    const float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
           radius;
}

void SkinCanvas::RoundRect(float l, float t, float r, float b, float radius, XColor c)
{
    RoundRectGradient(l, t, r, b, radius, c, c);
}

void SkinCanvas::RoundRectGradient(float l, float t, float r, float b, float radius, XColor top,
                                   XColor bottom)
{
    const XRect box(static_cast<int>(std::floor(l)) - 1, static_cast<int>(std::floor(t)) - 1,
                    static_cast<int>(std::ceil(r)) + 1, static_cast<int>(std::ceil(b)) + 1);
    Shape(
        box, [=](float x, float y) { return RoundRectDistance(x, y, l, t, r, b, radius); },
        [=](float, float y) { return Mix(top, bottom, std::clamp((y - t) / (b - t), 0.f, 1.f)); });
}

void SkinCanvas::RoundFrame(float l, float t, float r, float b, float radius, float width, XColor c)
{
    const XRect box(
        static_cast<int>(std::floor(l - width)) - 1, static_cast<int>(std::floor(t - width)) - 1,
        static_cast<int>(std::ceil(r + width)) + 1, static_cast<int>(std::ceil(b + width)) + 1);
    Shape(
        box,
        [=](float x, float y) {
            return std::abs(RoundRectDistance(x, y, l, t, r, b, radius)) - width / 2;
        },
        [c](float, float) { return c; });
}

void SkinCanvas::Arc(float cx, float cy, float r0, float r1, float a0, float a1, XColor c)
{
    const float mid = (r0 + r1) / 2, half = (r1 - r0) / 2;
    const float ex0 = cx + std::cos(a0) * mid, ey0 = cy + std::sin(a0) * mid;
    const float ex1 = cx + std::cos(a1) * mid, ey1 = cy + std::sin(a1) * mid;
    Shape(
        Around(cx, cy, r1),
        [=](float x, float y) {
            float a = std::atan2(y - cy, x - cx);
            constexpr float kTurn = 6.2831853f;
            while (a < a0) a += kTurn;
            if (a <= a1) return std::abs(std::hypot(x - cx, y - cy) - mid) - half;
            // Beyond the ends: the round caps.
            return std::min(std::hypot(x - ex0, y - ey0), std::hypot(x - ex1, y - ey1)) - half;
        },
        [c](float, float) { return c; });
}

void SkinCanvas::Triangle(float x0, float y0, float x1, float y1, float x2, float y2, XColor c)
{
    // Ordered so that every edge's normal below points out of the triangle.
    if ((x1 - x0) * (y2 - y0) - (y1 - y0) * (x2 - x0) > 0) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const auto edge = [](float ax, float ay, float bx, float by, float x, float y) {
        const float nx = ay - by, ny = bx - ax;
        return ((x - ax) * nx + (y - ay) * ny) / std::max(std::hypot(nx, ny), 1e-6f);
    };
    const XRect box(static_cast<int>(std::floor(std::min({x0, x1, x2}))) - 1,
                    static_cast<int>(std::floor(std::min({y0, y1, y2}))) - 1,
                    static_cast<int>(std::ceil(std::max({x0, x1, x2}))) + 1,
                    static_cast<int>(std::ceil(std::max({y0, y1, y2}))) + 1);
    Shape(
        box,
        [=](float x, float y) {
            return std::max({edge(x0, y0, x1, y1, x, y), edge(x1, y1, x2, y2, x, y),
                             edge(x2, y2, x0, y0, x, y)});
        },
        [c](float, float) { return c; });
}

void SkinCanvas::PixelArrow(int x, int y, int dx, int dy, int size, XColor c)
{
    g_.SetFillColor(c);
    for (int i = 0; i < size; ++i) {
        // Row i from the tip back: 2i + 1 pixels across the pointing direction.
        const XRect r = dx != 0 ? XRect(x - dx * i, y - i, x - dx * i, y + i)
                                : XRect(x - i, y - dy * i, x + i, y - dy * i);
        g_.FillRect(r.left, r.top, r.Width(), r.Height());
        Cover(r);
    }
}

void SkinCanvas::Label(std::string_view text, const XRect& rect, XColor c, int size, bool bold)
{
    g_.MakeFont(size, bold ? FourCC("bold") : 0);
    g_.SetTextColor(c);
    g_.TextCentered(text, rect.left, rect.top, rect.Width(), rect.Height(), 0);
}

SkinBitmap SkinCanvas::Finish(std::string name) const
{
    SkinBitmap bitmap;
    bitmap.name = std::move(name);
    bitmap.width = width_;
    bitmap.height = height_;
    bitmap.pixels.assign(g_.Pixels().begin(), g_.Pixels().end());
    bitmap.text.assign(g_.TextAreas().begin(), g_.TextAreas().end());
    if (masked_) {
        bitmap.mask.resize(coverage_.size());
        for (std::size_t i = 0; i < coverage_.size(); ++i) {
            bitmap.mask[i] = coverage_[i] >= 0.5f ? 255 : 0;
        }
    }
    return bitmap;
}
