#include "gui/XPotar.h"

#include <algorithm>
#include <cmath>

#include "gui/XGraphic.h"

XPotar::XPotar() : XPotar(0, 0, 0, 0) {}

XPotar::XPotar(int x, int y, int width, int height) : XSlider(x, y, width, height)
{
    SetVerticalTravel(kTravel);
    centreX_ = width / 2.0;
    centreY_ = height / 2.0;
}

bool XPotar::SetPicture(std::string_view name)
{
    const bool loaded = picture_.Load(name);
    Invalidate();
    return loaded;
}

void XPotar::SetIndicator(double centreX, double centreY, double radius)
{
    if (!std::isfinite(centreX) || !std::isfinite(centreY) || !std::isfinite(radius)) return;
    // Far beyond any knob; keeps the pixel arithmetic in range.
    constexpr double kLimit = 1 << 20;
    centreX_ = std::clamp(centreX, -kLimit, kLimit);
    centreY_ = std::clamp(centreY, -kLimit, kLimit);
    radius_ = std::clamp(radius, 0.0, kLimit);
    Invalidate();
}

void XPotar::SetDotMode(bool on)
{
    if (dotMode_ == on) return;
    dotMode_ = on;
    Invalidate();
}

void XPotar::IndicatorEnd(double& x, double& y) const
{
    const double a = Fraction() * kSweep - kStartAngle;
    x = centreX_ - std::cos(a) * radius_;
    y = centreY_ - std::sin(a) * radius_;
}

void XPotar::Draw(XGraphic* g)
{
    if (picture_.IsLoaded()) {
        g->DrawPic(picture_, 0, 0);
    } else {
        g->SetFillColor(XColor(200, 200, 255, 255));
        g->FillRect(0, 0, Width(), Height());
    }
    if (radius_ <= 1) return;
    const double a = Fraction() * kSweep - kStartAngle;
    const double dx = -std::cos(a);
    const double dy = -std::sin(a);
    const int ex = static_cast<int>(std::floor(centreX_ + dx * radius_));
    const int ey = static_cast<int>(std::floor(centreY_ + dy * radius_));
    if (dotMode_) {
        g->DoubleBevel(XRect(ex - 2, ey - 2, ex + 2, ey + 2), XColor(0, 0, 30, 255));
        return;
    }
    const int sx = static_cast<int>(std::floor(centreX_ + dx * 0.4 * radius_));
    const int sy = static_cast<int>(std::floor(centreY_ + dy * 0.4 * radius_));
    g->SetPen(XColor(255, 255, 255, 255));
    g->Line(sx, sy, ex, ey);
}
