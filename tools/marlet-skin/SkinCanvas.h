// A drawing surface for skin pictures: the framework's XGraphic for fills, bevels, gradients,
// lines and text, plus antialiased shapes computed per pixel from signed distances (discs,
// rings, rounded rectangles, thick lines).
//
// Masked pictures start from the background they will be drawn on, so edge pixels are blended
// against the right colour; every shape records its coverage, and pixels covered at least half
// end up in the mask.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gui/XColor.h"
#include "gui/XGraphic.h"
#include "gui/XRect.h"
#include "tools/marlet-skin/SkinBitmap.h"

class SkinCanvas {
public:
    // An opaque picture, black until drawn.
    SkinCanvas(int width, int height);
    // A masked picture over `background` (width x height pixels, 0x00RRGGBB).
    SkinCanvas(int width, int height, std::span<const std::uint32_t> background);

    XGraphic& G() { return g_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Masked() const { return masked_; }
    // Keeps what was drawn but writes no mask: a full rectangle drawn over a known background.
    void MakeOpaque() { masked_ = false; }

    XColor At(int x, int y) const { return XColor::FromPixel(g_.PixelAt(x, y)); }
    // Mixes c over the pixel by `coverage` (0..1) and records the coverage.
    void Blend(int x, int y, XColor c, float coverage);
    // Marks a rectangle as drawn (after plain XGraphic primitives on a masked picture).
    void Cover(const XRect& rect);

    // Paints every pixel of `box` whose centre lies inside the shape given by its signed
    // distance (negative inside), antialiased over one pixel, in the colour paint(x, y).
    template <typename Distance, typename Paint>
    void Shape(const XRect& box, Distance distance, Paint paint)
    {
        const int l = std::max(box.left, 0), r = std::min(box.right, width_ - 1);
        const int t = std::max(box.top, 0), b = std::min(box.bottom, height_ - 1);
        for (int y = t; y <= b; ++y) {
            for (int x = l; x <= r; ++x) {
                const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                const float cover = std::clamp(0.5f - distance(px, py), 0.0f, 1.0f);
                if (cover > 0.0f) Blend(x, y, paint(px, py), cover);
            }
        }
    }

    // Pixel-centre coordinates: the disc of radius r around (cx, cy).
    void Disc(float cx, float cy, float r, XColor c);
    // A disc shaded from `top` to `bottom` over its height.
    void ShadedDisc(float cx, float cy, float r, XColor top, XColor bottom);
    // The ring between radii r0 < r1.
    void Ring(float cx, float cy, float r0, float r1, XColor c);
    // A line of the given width with round ends.
    void ThickLine(float x0, float y0, float x1, float y1, float width, XColor c);
    // A rectangle with round corners over [l, r] x [t, b] (edges, not pixel centres).
    void RoundRect(float l, float t, float r, float b, float radius, XColor c);
    // The same with a vertical gradient from `top` to `bottom`.
    void RoundRectGradient(float l, float t, float r, float b, float radius, XColor top,
                           XColor bottom);

    // An outline of the given width along a rounded rectangle's edge.
    void RoundFrame(float l, float t, float r, float b, float radius, float width, XColor c);
    // The part of the ring between radii r0 < r1 from angle a0 to a1 (radians, clockwise from
    // three o'clock, a0 < a1), with round ends.
    void Arc(float cx, float cy, float r0, float r1, float a0, float a1, XColor c);

    // A filled triangle (corners in any order).
    void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, XColor c);

    // A crisp arrow head of pixels with its tip at (x, y) pointing right (dx 1), left (-1),
    // down (dy 1) or up (-1): `size` rows, each one pixel shorter at both ends.
    void PixelArrow(int x, int y, int dx, int dy, int size, XColor c);

    // A label in the given font, centred in the rectangle.
    void Label(std::string_view text, const XRect& rect, XColor c, int size, bool bold);

    SkinBitmap Finish(std::string name) const;

    // Mixes a and b: t = 0 gives a, 1 gives b.
    static XColor Mix(XColor a, XColor b, float t);
    static float RoundRectDistance(float x, float y, float l, float t, float r, float b,
                                   float radius);

private:
    int width_;
    int height_;
    bool masked_ = false;
    XGraphic g_;
    std::vector<float> coverage_;
};
