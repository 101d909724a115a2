#include "gui/XGraphic.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "gui/XCodes.h"
#include "gui/XFont.h"
#include "gui/XPic.h"
#include "gui/XRegn.h"

namespace {

// The font a fresh surface draws with: the system's GUI font is about this size.
constexpr int kDefaultCellHeight = 13;
// Text drawn by Text has its cell top this far above the given y.
constexpr int kTextRaise = 3;
constexpr int kWrapLineHeight = 16;
constexpr int kWrapTop = 2;
constexpr int kWrapExtra = 12;
constexpr int kAlignInset = 4;

}  // namespace

XGraphic::XGraphic() = default;
XGraphic::~XGraphic() = default;

// --- Life cycle

void XGraphic::Resize(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<std::int64_t>(width) * height > kMaxPixels) {
        if (width != 0 || height != 0) {
            Log("*** XGraphic::Resize(%d, %d) refused ***", width, height);
        }
        width = height = 0;
    }
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    }
    surface_ = XRect(0, 0, width_ - 1, height_ - 1);
}

void XGraphic::ResetState()
{
    origin_ = surface_;
    clip_ = surface_;
    align_ = 0;
    penX_ = penY_ = 0;
    if (!font_) {
        font_ = XFont::Get(kDefaultCellHeight, false);
        fontSize_ = 0;
        fontWeight_ = 0;
    }
}

void XGraphic::Begin(XTarget* target, int width, int height)
{
    target_ = target;
    imageMode_ = false;
    Resize(width, height);
    ResetState();
    textAreas_.clear();
}

void XGraphic::Present()
{
    if (target_ && width_ > 0) target_->Put(pixels_.data(), width_, height_, 0, 0);
}

void XGraphic::BeginImage(const XRect& rect, XTarget* target)
{
    target_ = target;
    imageMode_ = true;
    image_ = rect;
    Resize(std::max(rect.Width(), 0), std::max(rect.Height(), 0));
    std::fill(pixels_.begin(), pixels_.end(), 0u);
    ResetState();
}

void XGraphic::EndImage()
{
    if (!imageMode_) return;
    imageMode_ = false;
    if (target_ && width_ > 0)
        target_->Put(pixels_.data(), width_, height_, image_.left, image_.top);
}

void XGraphic::SetClip(const XRect& control, const XRect& clip)
{
    origin_ = control;
    clip_ = clippingOff_ ? surface_ : clip.Intersect(surface_);
    align_ = 0;
}

void XGraphic::Translate(int dx, int dy)
{
    origin_.Offset(-dx, -dy);
}

std::uint32_t XGraphic::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

// --- Surface helpers

void XGraphic::FillSurface(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
                           std::uint32_t rgb)
{
    if (clip_.IsEmpty()) return;
    l = std::max<std::int64_t>(l, clip_.left);
    t = std::max<std::int64_t>(t, clip_.top);
    r = std::min<std::int64_t>(r, clip_.right);
    b = std::min<std::int64_t>(b, clip_.bottom);
    if (l > r || t > b) return;
    for (std::int64_t y = t; y <= b; ++y) {
        std::uint32_t* row = pixels_.data() + y * width_;
        std::fill(row + l, row + r + 1, rgb);
    }
}

void XGraphic::PlotSurface(std::int64_t x, std::int64_t y, std::uint32_t rgb)
{
    if (x < clip_.left || x > clip_.right || y < clip_.top || y > clip_.bottom) return;
    pixels_[static_cast<std::size_t>(y * width_ + x)] = rgb;
}

void XGraphic::FillRectIn(const XRect& rect, XColor c)
{
    if (c.IsTransparent() || rect.IsEmpty()) return;
    FillSurface(std::int64_t {origin_.left} + rect.left, std::int64_t {origin_.top} + rect.top,
                std::int64_t {origin_.left} + rect.right, std::int64_t {origin_.top} + rect.bottom,
                c.Pixel());
}

// --- Rectangles

void XGraphic::FillRect(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0 || fillColor_.IsTransparent()) return;
    const std::int64_t l = std::int64_t {origin_.left} + x;
    const std::int64_t t = std::int64_t {origin_.top} + y;
    FillSurface(l, t, l + w - 1, t + h - 1, fillColor_.Pixel());
}

void XGraphic::Frame(const XRect& rect, XColor c)
{
    if (rect.IsEmpty()) return;
    const std::int64_t l = std::int64_t {origin_.left} + rect.left;
    const std::int64_t t = std::int64_t {origin_.top} + rect.top;
    const std::int64_t r = std::int64_t {origin_.left} + rect.right;
    const std::int64_t b = std::int64_t {origin_.top} + rect.bottom;
    const std::uint32_t rgb = c.Pixel();
    FillSurface(l, t, r, t, rgb);
    FillSurface(l, b, r, b, rgb);
    FillSurface(l, t, l, b, rgb);
    FillSurface(r, t, r, b, rgb);
}

// Sunken and raised outlines are drawn as GDI draws MoveTo(l, b), LineTo(l, t), LineTo(r, t) in
// the first colour and LineTo(r, b), LineTo(l, b) in the second: the first takes the whole
// left column and the top row but its right end, the second the whole right column and the
// bottom row but its left end.
void XGraphic::InsetFrame(const XRect& rect, XColor c)
{
    const XRect inner = rect.Inflated(-1);
    if (inner.IsEmpty()) return;
    const std::int64_t l = std::int64_t {origin_.left} + inner.left;
    const std::int64_t t = std::int64_t {origin_.top} + inner.top;
    const std::int64_t r = std::int64_t {origin_.left} + inner.right;
    const std::int64_t b = std::int64_t {origin_.top} + inner.bottom;
    const std::uint32_t light = c.Pixel();
    const std::uint32_t dark = c.Scaled(1.2f).Pixel();
    FillSurface(l, t, l, b, light);
    FillSurface(l, t, r - 1, t, light);
    FillSurface(r, t, r, b, dark);
    FillSurface(l + 1, b, r, b, dark);
}

void XGraphic::BevelRect(const XRect& rect, XColor c, int depth)
{
    if (rect.IsEmpty()) return;
    FillRectIn(rect, c);
    const std::uint32_t light = c.Scaled(1.3f).Pixel();
    const std::uint32_t dark = c.Scaled(0.7f).Pixel();
    XRect edge = rect;
    const int times = depth < 0 ? (depth == std::numeric_limits<int>::min() ? 0 : -depth) : depth;
    for (int i = 0; i < times && !edge.IsEmpty(); ++i) {
        const std::int64_t l = std::int64_t {origin_.left} + edge.left;
        const std::int64_t t = std::int64_t {origin_.top} + edge.top;
        const std::int64_t r = std::int64_t {origin_.left} + edge.right;
        const std::int64_t b = std::int64_t {origin_.top} + edge.bottom;
        FillSurface(l, t, l, b, light);
        FillSurface(l, t, r - 1, t, light);
        FillSurface(r, t, r, b, dark);
        FillSurface(l + 1, b, r, b, dark);
        edge.Inflate(-1);
    }
}

void XGraphic::DoubleBevel(const XRect& rect, XColor c)
{
    BevelRect(rect, c, 1);
    BevelRect(rect.Inflated(-2), c, 1);
}

void XGraphic::RoundFill(const XRect& rect, XColor c)
{
    if (c.IsTransparent() || rect.IsEmpty()) return;
    // Rows from the top: 4, 2, 1, 1 pixels cut at each side, then the full width.
    FillRectIn(XRect(rect.left + 4, rect.top, rect.right - 4, rect.bottom), c);
    FillRectIn(XRect(rect.left + 2, rect.top + 1, rect.right - 2, rect.bottom - 1), c);
    FillRectIn(XRect(rect.left + 1, rect.top + 2, rect.right - 1, rect.bottom - 2), c);
    FillRectIn(XRect(rect.left, rect.top + 4, rect.right, rect.bottom - 4), c);
}

void XGraphic::Gradient(const XRect& rect, XColor c1, XColor c2)
{
    if (rect.IsEmpty() || clip_.IsEmpty()) return;
    // As GDI's gradient fill on a 32-bit surface: 16-bit channels (byte << 8),
    // interpolated per row over the height, then the top byte.
    const std::int64_t height = std::int64_t {rect.bottom} - rect.top + 1;
    const std::int64_t l = std::int64_t {origin_.left} + rect.left;
    const std::int64_t r = std::int64_t {origin_.left} + rect.right;
    const std::int64_t t = std::int64_t {origin_.top} + rect.top;
    const std::int64_t first = std::max<std::int64_t>(t, clip_.top);
    const std::int64_t last = std::min<std::int64_t>(t + height - 1, clip_.bottom);
    const auto channel = [height](int a, int b, std::int64_t pos) {
        const std::int64_t v =
            (std::int64_t {a} * 256 * (height - pos) + std::int64_t {b} * 256 * pos) / height;
        return static_cast<std::uint32_t>(v >> 8);
    };
    for (std::int64_t y = first; y <= last; ++y) {
        const std::int64_t pos = y - t;
        const std::uint32_t rgb = channel(c1.red, c2.red, pos) << 16 |
                                  channel(c1.green, c2.green, pos) << 8 |
                                  channel(c1.blue, c2.blue, pos);
        FillSurface(l, y, r, y, rgb);
    }
}

void XGraphic::Gloss(const XRect& rect, XColor c)
{
    if (rect.IsEmpty()) return;
    Gradient(rect, c, c.Scaled(0.8f));
    const int half = rect.Height() / 2;
    const XRect upper(rect.left + 2, rect.top + 1, rect.right - 2, rect.top + half - 1);
    Gradient(upper, c.Scaled(1.25f), c.Scaled(0.8f));
}

void XGraphic::LcdBox(int x, int y, int w, int h)
{
    const XColor saved = fillColor_;
    const int d = h / 2;
    const auto fill = [this](XColor c, int fx, int fy, int fw, int fh) {
        fillColor_ = c;
        FillRect(fx, fy, fw, fh);
    };
    fill(XColor(0, 0, 0), x, y, w, h);
    fill(XColor(37, 37, 37), x + 1, y + 1, w - 2, d - 1);
    fill(XColor(36, 51, 34), x + 3, y + 2, w - 6, d - 2);
    fill(XColor(33, 61, 30), x + 5, y + 4, w - 10, d - 4);
    fill(XColor(37, 69, 34), x + 6, y + 6, w - 12, d - 6);
    fill(XColor(6, 20, 0), x + 3, y + d, w - 6, h - d - 2);
    fill(XColor(10, 39, 3), x + 5, y + d, w - 10, h - d - 4);
    fillColor_ = saved;
}

void XGraphic::DownArrow(int x, int y)
{
    const std::uint32_t rgb = fillColor_.Pixel();
    const std::int64_t ox = std::int64_t {origin_.left} + x;
    const std::int64_t oy = std::int64_t {origin_.top} + y;
    for (int i = 0; i < 3; ++i) FillSurface(ox + i, oy + i, ox + 6 - i, oy + i, rgb);
    FillSurface(ox + 3, oy + 1, ox + 3, oy + 3, rgb);
}

void XGraphic::HeaderBar(const XRect& rect, XColor c)
{
    if (rect.IsEmpty()) return;
    constexpr int kStrip = 38;
    const std::int32_t stripTop = static_cast<std::int32_t>(
        std::max<std::int64_t>(rect.top, std::int64_t {rect.bottom} - kStrip + 1));
    if (stripTop > rect.top) FillRectIn(XRect(rect.left, rect.top, rect.right, stripTop - 1), c);
    const XRect strip(rect.left, stripTop, rect.right, rect.bottom);
    Gradient(strip, XColor(200, 200, 210), c);
    const std::int64_t l = std::int64_t {origin_.left} + rect.left;
    const std::int64_t r = std::int64_t {origin_.left} + rect.right;
    const std::int64_t t = std::int64_t {origin_.top} + stripTop;
    FillSurface(l, t, r, t, 0x000000);
    if (stripTop < rect.bottom) FillSurface(l, t + 1, r, t + 1, XColor(230, 230, 230).Pixel());
}

// --- Lines

void XGraphic::DrawLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                        std::uint32_t rgb, bool lastPixel)
{
    x1 += origin_.left;
    x2 += origin_.left;
    y1 += origin_.top;
    y2 += origin_.top;
    if (clip_.IsEmpty()) return;
    if (y1 == y2) {
        if (x1 == x2) {
            if (lastPixel) PlotSurface(x1, y1, rgb);
            return;
        }
        const std::int64_t end = x2 > x1 ? (lastPixel ? x2 : x2 - 1) : (lastPixel ? x2 : x2 + 1);
        FillSurface(std::min(x1, end), y1, std::max(x1, end), y1, rgb);
        return;
    }
    if (x1 == x2) {
        const std::int64_t end = y2 > y1 ? (lastPixel ? y2 : y2 - 1) : (lastPixel ? y2 : y2 + 1);
        FillSurface(x1, std::min(y1, end), x1, std::max(y1, end), rgb);
        return;
    }
    // Bresenham along the major axis. Lines far off the surface are walked only where they
    // can touch the clip.
    const std::int64_t dx = std::llabs(x2 - x1), dy = std::llabs(y2 - y1);
    const std::int64_t sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
    const std::int64_t steps = std::max(dx, dy) + (lastPixel ? 1 : 0);
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    // Skip ahead to where the major coordinate enters the clip.
    std::int64_t begin = 0, end = steps;
    {
        const std::int64_t m1 = xMajor ? x1 : y1;
        const std::int64_t s = xMajor ? sx : sy;
        const std::int64_t lo = xMajor ? clip_.left : clip_.top;
        const std::int64_t hi = xMajor ? clip_.right : clip_.bottom;
        const std::int64_t a = s > 0 ? lo - m1 : m1 - hi;
        const std::int64_t b = s > 0 ? hi - m1 : m1 - lo;
        begin = std::max<std::int64_t>(0, a);
        end = std::min<std::int64_t>(steps, b + 1);
    }
    for (std::int64_t i = begin; i < end; ++i) {
        // The minor offset is i * minor / major rounded half down, the same pixels a running
        // Bresenham error term picks.
        const auto offset =
            static_cast<std::int64_t>((__int128 {2} * i * minor + major - 1) / (2 * major));
        const std::int64_t px = xMajor ? x1 + sx * i : x1 + sx * offset;
        const std::int64_t py = xMajor ? y1 + sy * offset : y1 + sy * i;
        PlotSurface(px, py, rgb);
    }
}

void XGraphic::MoveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
}

void XGraphic::LineTo(int x, int y)
{
    DrawLine(penX_, penY_, x, y, penColor_.Pixel(), false);
    penX_ = x;
    penY_ = y;
}

void XGraphic::Line(int x1, int y1, int x2, int y2)
{
    DrawLine(x1, y1, x2, y2, penColor_.Pixel(), true);
    penX_ = x2;
    penY_ = y2;
}

void XGraphic::Polyline(const XRegn& regn, XColor c)
{
    const auto points = regn.Points();
    for (std::size_t i = 1; i < points.size(); ++i) {
        DrawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, c.Pixel(), false);
    }
}

void XGraphic::FillPolygon(const XRegn& regn, XColor c)
{
    const auto points = regn.Points();
    if (c.IsTransparent() || points.size() < 3 || clip_.IsEmpty()) return;
    std::int64_t top = std::numeric_limits<std::int64_t>::max(),
                 bottom = std::numeric_limits<std::int64_t>::min();
    for (const XRegn::Point& p : points) {
        top = std::min<std::int64_t>(top, p.y);
        bottom = std::max<std::int64_t>(bottom, p.y);
    }
    const std::int64_t ox = origin_.left, oy = origin_.top;
    // Rows whose pixel tops the polygon covers; a row is sampled at its integer y, with
    // edges half-open in y, so the bottom edge and the right edge are left out.
    const std::int64_t first = std::max(top + oy, std::int64_t {clip_.top});
    const std::int64_t last = std::min(bottom + oy - 1, std::int64_t {clip_.bottom});
    std::vector<std::int64_t> crossings;
    const std::size_t n = points.size();
    for (std::int64_t sy = first; sy <= last; ++sy) {
        const std::int64_t y = sy - oy;
        crossings.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const XRegn::Point& a = points[i];
            const XRegn::Point& b = points[(i + 1) % n];
            if (a.y == b.y) continue;
            const std::int64_t ya = a.y, yb = b.y;
            if ((y >= ya && y < yb) || (y >= yb && y < ya)) {
                // The first pixel x at or right of the crossing: ceil of the exact x.
                const __int128 num =
                    __int128 {a.x} * (yb - ya) + __int128 {y - ya} * (std::int64_t {b.x} - a.x);
                const __int128 den = yb - ya;
                __int128 q = num / den;
                const __int128 rem = num % den;
                if (rem != 0 && ((rem > 0) == (den > 0))) ++q;
                crossings.push_back(static_cast<std::int64_t>(q));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            if (crossings[i + 1] > crossings[i]) {
                FillSurface(crossings[i] + ox, sy, crossings[i + 1] - 1 + ox, sy, c.Pixel());
            }
        }
    }
}

// --- Pictures

void XGraphic::DrawPicRect(const XPic& pic, std::int64_t x, std::int64_t y, int sx, int sy, int w,
                           int h)
{
    if (!pic.IsLoaded() || w <= 0 || h <= 0 || clip_.IsEmpty()) return;
    // The source part inside the picture, then the destination inside the clip.
    std::int64_t srcL = sx, srcT = sy, srcR = std::int64_t {sx} + w - 1,
                 srcB = std::int64_t {sy} + h - 1;
    std::int64_t dstL = x, dstT = y;
    if (srcL < 0) dstL -= srcL, srcL = 0;
    if (srcT < 0) dstT -= srcT, srcT = 0;
    srcR = std::min<std::int64_t>(srcR, pic.Width() - 1);
    srcB = std::min<std::int64_t>(srcB, pic.Height() - 1);
    if (srcL > srcR || srcT > srcB) return;
    std::int64_t dstR = dstL + (srcR - srcL), dstB = dstT + (srcB - srcT);
    const std::int64_t l = std::max<std::int64_t>(dstL, clip_.left);
    const std::int64_t t = std::max<std::int64_t>(dstT, clip_.top);
    const std::int64_t r = std::min<std::int64_t>(dstR, clip_.right);
    const std::int64_t b = std::min<std::int64_t>(dstB, clip_.bottom);
    if (l > r || t > b) return;
    const auto source = pic.Pixels();
    const auto mask = pic.Mask();
    const std::int64_t pw = pic.Width();
    for (std::int64_t py = t; py <= b; ++py) {
        const std::int64_t srcRow = (srcT + py - dstT) * pw + srcL + (l - dstL);
        std::uint32_t* dst = pixels_.data() + py * width_ + l;
        const std::uint32_t* src = source.data() + srcRow;
        const std::int64_t count = r - l + 1;
        if (mask.empty()) {
            std::copy_n(src, count, dst);
        } else {
            const std::uint8_t* m = mask.data() + srcRow;
            for (std::int64_t i = 0; i < count; ++i) {
                if (m[i]) dst[i] = src[i];
            }
        }
    }
}

void XGraphic::DrawPic(const XPic& pic, int x, int y)
{
    DrawPicRect(pic, std::int64_t {origin_.left} + x, std::int64_t {origin_.top} + y, 0, 0,
                pic.Width(), pic.Height());
}

void XGraphic::DrawPicPart(const XPic& pic, int x, int y, int w, int h, int sx, int sy)
{
    DrawPicRect(pic, std::int64_t {origin_.left} + x, std::int64_t {origin_.top} + y, sx, sy, w, h);
}

// --- Text

void XGraphic::SetFont(std::int32_t id)
{
    switch (id) {
        case xcode::kFontDefault:
            MakeFont(11, 0);
            break;
        case xcode::kFontSmall:
            MakeFont(9, 0);
            break;
        case xcode::kFontBold:
            MakeFont(11, xcode::kWeightBold);
            break;
        case xcode::kFontHeading:
            MakeFont(14, xcode::kWeightBold);
            break;
        default:
            break;
    }
}

void XGraphic::MakeFont(int size, std::int32_t weight)
{
    if (font_ && size == fontSize_ && weight == fontWeight_) return;
    const std::int64_t cell = std::int64_t {size} + 4;
    if (cell < XFont::kMinCellHeight || cell > XFont::kMaxCellHeight) {
        Log("*** XGraphic::MakeFont(%d, %d) size out of range ***", size, weight);
        return;
    }
    std::shared_ptr<XFont> font = XFont::Get(static_cast<int>(cell), weight == xcode::kWeightBold);
    if (!font) {
        Log("*** XGraphic::MakeFont(%d, %d) failed ***", size, weight);
        return;
    }
    font_ = std::move(font);
    fontSize_ = size;
    fontWeight_ = weight;
}

int XGraphic::TextWidth(std::string_view s)
{
    return font_ && !s.empty() ? font_->Measure(s) : 0;
}

int XGraphic::TextHeight() const
{
    return font_ ? font_->CellHeight() : 0;
}

void XGraphic::TextAt(std::string_view s, std::int64_t x, std::int64_t top)
{
    if (!font_ || s.empty() || width_ == 0) return;
    if (recordText_) {
        const auto at = [](std::int64_t v) {
            return static_cast<std::int32_t>(
                std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max()));
        };
        const std::int64_t left = x + origin_.left, cellTop = top + origin_.top;
        NoteTextArea(XRect(at(left), at(cellTop), at(left + TextWidth(s) - 1),
                           at(cellTop + TextHeight() - 1)));
    }
    font_->Draw(pixels_, width_, height_, clip_, x + origin_.left, top + origin_.top,
                textColor_.Pixel(), s);
}

void XGraphic::NoteTextArea(const XRect& area)
{
    if (!recordText_) return;
    const XRect seen = area.Intersect(clip_);
    if (!seen.IsEmpty()) textAreas_.push_back(seen);
}

void XGraphic::Text(std::string_view s, int x, int y)
{
    TextAt(s, x, std::int64_t {y} - kTextRaise);
}

XRect XGraphic::TextSize(std::string_view s)
{
    return XRect(0, 0, TextWidth(s), TextHeight() - 1);
}

void XGraphic::TextCentered(std::string_view s, int x, int y, int w, int h, int align)
{
    if (s.empty()) return;
    const int width = TextWidth(s);
    std::int64_t tx = std::int64_t {x} + (std::int64_t {w} - width) / 2;
    if (tx < x || align < 0) tx = std::int64_t {x} + kAlignInset;
    const std::int64_t ty = std::int64_t {y} + (std::int64_t {h} - TextHeight()) / 2;
    TextAt(s, tx, ty);
}

void XGraphic::TextInRect(std::string_view s, const XRect& rect)
{
    TextCentered(s, rect.left, rect.top, rect.Width(), rect.Height(), align_);
}

int XGraphic::TextWrapped(std::string_view s, const XRect& rect)
{
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    std::size_t pos = 0;
    while (pos < s.size() && isBreak(s[pos])) ++pos;

    const std::int64_t limit = std::int64_t {rect.Width()} - 4;
    const int space = TextWidth(" ");
    std::int64_t y = std::int64_t {rect.top} + kWrapTop;
    std::size_t lineStart = pos, lineEnd = pos;  // the bytes of the line so far
    std::int64_t lineWidth = 0;
    bool lineHasText = false;

    const auto endLine = [&] {
        TextAt(s.substr(lineStart, lineEnd - lineStart), rect.left, y);
        y += kWrapLineHeight;
        lineHasText = false;
        lineWidth = 0;
    };

    while (pos < s.size()) {
        const char c = s[pos];
        if (isBreak(c)) {
            endLine();
            // A CR LF or LF CR pair is one break.
            if (pos + 1 < s.size() && isBreak(s[pos + 1]) && s[pos + 1] != c) ++pos;
            ++pos;
            lineStart = lineEnd = pos;
            continue;
        }
        if (c == ' ') {
            ++pos;
            continue;
        }
        std::size_t wordEnd = pos;
        while (wordEnd < s.size() && s[wordEnd] != ' ' && !isBreak(s[wordEnd])) ++wordEnd;
        const std::int64_t wordWidth = TextWidth(s.substr(pos, wordEnd - pos));
        // The spaces before the word, as typed.
        const std::int64_t gap =
            lineHasText ? std::int64_t {space} * static_cast<std::int64_t>(pos - lineEnd) : 0;
        if (lineHasText && lineWidth + gap + wordWidth >= limit) {
            endLine();
            lineStart = pos;
        } else if (!lineHasText) {
            lineStart = pos;
        }
        lineWidth += (lineHasText ? gap : 0) + wordWidth;
        lineHasText = true;
        lineEnd = wordEnd;
        pos = wordEnd;
    }
    if (lineHasText) endLine();
    const std::int64_t used = y - rect.top + kWrapExtra;
    return static_cast<int>(std::min<std::int64_t>(used, std::numeric_limits<int>::max()));
}
