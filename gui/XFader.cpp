#include "gui/XFader.h"

#include <algorithm>
#include <cmath>

#include "gui/XGraphic.h"

XFader::XFader() : XFader(0, 0, 0, 0) {}

XFader::XFader(int x, int y, int width, int height) : XSlider(x, y, width, height)
{
    SetColor(0, XColor());
    SetColor(1, XColor(160, 160, 220, 255));
    Layout();
}

void XFader::Layout()
{
    vertical_ = Width() < Height();
    const int length = vertical_ ? Height() : Width();
    const int travel = std::max(0, length - ThumbLength());
    if (vertical_) {
        SetVerticalTravel(travel);
    } else {
        SetHorizontalTravel(travel);
    }
}

bool XFader::SetThumb(std::string_view name)
{
    const bool loaded = thumb_.Load(name);
    Layout();
    Invalidate();
    return loaded;
}

void XFader::SetBackground(XColor color)
{
    color.alpha = 255;
    SetColor(0, color);
    Invalidate();
}

void XFader::SetFill(XColor color, double reference)
{
    fillColor_ = color;
    reference_ = std::isnan(reference) ? Minimum() : reference;
    Invalidate();
}

int XFader::ThumbLength() const
{
    if (!thumb_.IsLoaded()) return kThumbLength;
    return vertical_ ? thumb_.Height() : thumb_.Width();
}

int XFader::ThumbOffset(double fraction) const
{
    const int length = vertical_ ? Height() : Width();
    const int span = std::max(0, length - ThumbLength() - 2);
    // Upwards increases on a vertical fader.
    if (vertical_) fraction = 1 - fraction;
    return 1 + static_cast<int>(fraction * span);
}

XRect XFader::ThumbRect() const
{
    const int at = ThumbOffset(Fraction());
    const int length = ThumbLength();
    if (thumb_.IsLoaded()) {
        const int across = vertical_ ? thumb_.Width() : thumb_.Height();
        const int side = vertical_ ? (Width() - across) / 2 : (Height() - across) / 2;
        return vertical_ ? XRect::FromSize(side, at, across, length)
                         : XRect::FromSize(at, side, length, across);
    }
    return vertical_ ? XRect::FromSize(1, at, Width() - 2, length)
                     : XRect::FromSize(at, 1, length, Height() - 2);
}

void XFader::Draw(XGraphic* g)
{
    const XColor back = GetColor(0);
    if (back.IsTransparent()) {
        // Nothing of ours covers the old thumb: let the parent paint our area first, unless it
        // already did in this pass.
        DrawParentUnder(g);
    } else {
        XControl::Draw(g);
        // The groove: a dark line between a shadow and a light edge.
        const XColor lines[3] = {back.Scaled(0.6f), back.Scaled(0.2f), back.Scaled(1.3f)};
        for (int i = 0; i < 3; ++i) {
            g->SetPen(lines[i]);
            if (vertical_) {
                const int x = Width() / 2 - 1 + i;
                g->Line(x, 2, x, Height() - 3);
            } else {
                const int y = Height() / 2 - 1 + i;
                g->Line(2, y, Width() - 3, y);
            }
        }
    }

    const int length = ThumbLength();
    if (!fillColor_.IsTransparent()) {
        const double range = Maximum() - Minimum();
        const double refFraction =
            range > 0 ? std::clamp((reference_ - Minimum()) / range, 0.0, 1.0) : 0.0;
        const int from = ThumbOffset(refFraction) + length / 2;
        const int to = ThumbOffset(Fraction()) + length / 2;
        g->SetFillColor(fillColor_);
        if (vertical_) {
            g->FillRect(Width() / 2 - 1, std::min(from, to), 3, std::abs(to - from) + 1);
        } else {
            g->FillRect(std::min(from, to), Height() / 2 - 1, std::abs(to - from) + 1, 3);
        }
    }

    const XRect thumb = ThumbRect();
    if (thumb_.IsLoaded()) {
        g->DrawPic(thumb_, thumb.left, thumb.top);
        return;
    }
    const XColor face = GetColor(1);
    g->BevelRect(thumb, face, 2);
    g->SetPen(face.Scaled(0.8f));
    const int cx = (thumb.left + thumb.right) / 2;
    const int cy = (thumb.top + thumb.bottom) / 2;
    for (int i = -1; i <= 1; ++i) {
        if (vertical_) {
            g->Line(thumb.left + 3, cy + 3 * i, thumb.right - 3, cy + 3 * i);
        } else {
            g->Line(cx + 3 * i, thumb.top + 3, cx + 3 * i, thumb.bottom - 3);
        }
    }
}
