#include "gui/XSlider.h"

#include <algorithm>
#include <cmath>
#include <utility>

XSlider::XSlider() : XSlider(0, 0, 0, 0) {}

XSlider::XSlider(int x, int y, int width, int height) : XControl(x, y, width, height) {}

void XSlider::SetRange(double minimum, double maximum, double step, double fineStep)
{
    // A span beyond the doubles would make every step and fraction infinite or not a number.
    if (!std::isfinite(maximum - minimum)) return;
    if (maximum < minimum) std::swap(minimum, maximum);
    minimum_ = minimum;
    maximum_ = maximum;
    // !(x > 0) also catches not-a-number.
    if (!(step > 0) || !std::isfinite(step)) step = (maximum - minimum) / 100;
    if (!(fineStep > 0) || !std::isfinite(fineStep)) fineStep = step / 5;
    step_ = step;
    fineStep_ = fineStep;
    fineRatio_ = step > 0 ? fineStep / step : 1;
}

double XSlider::Snap(double value, double q) const
{
    value = std::clamp(value, minimum_, maximum_);
    // An empty range has no grid.
    if (!(q > 0)) return value;
    const float numerator = static_cast<float>(value - minimum_ + q / 2);
    const double snapped = minimum_ + q * std::trunc(numerator / q);
    // Single precision can round a value of a wide range past its end, or beyond its own range.
    if (!std::isfinite(snapped)) return value;
    return std::clamp(snapped, minimum_, maximum_);
}

void XSlider::SetDefault(double value)
{
    if (std::isnan(value)) return;
    default_ = Snap(value, step_);
}

void XSlider::SetValue(double value, bool fine)
{
    if (Store(value, fine)) XBroadcaster::SliderChanged(this, 0);
}

void XSlider::SetValueSilently(double value, bool fine)
{
    Store(value, fine);
}

bool XSlider::Store(double value, bool fine)
{
    if (std::isnan(value)) return false;
    const double v = Snap(value, fine ? fineStep_ : step_);
    if (v == value_) return false;
    value_ = v;
    ValueChanged(value_);
    Invalidate();
    return true;
}

void XSlider::SetFraction(double fraction, bool fine)
{
    if (std::isnan(fraction)) return;
    fraction = std::clamp(fraction, 0.0, 1.0);
    SetValue(minimum_ + fraction * (maximum_ - minimum_), fine);
}

double XSlider::Fraction() const
{
    const double range = maximum_ - minimum_;
    if (!(range > 0)) return 0;
    return std::clamp((value_ - minimum_) / range, 0.0, 1.0);
}

void XSlider::SetHorizontalTravel(std::int32_t pixels)
{
    horizontalTravel_ = pixels;
    verticalTravel_ = 0;
}

void XSlider::SetVerticalTravel(std::int32_t pixels)
{
    verticalTravel_ = pixels;
    horizontalTravel_ = 0;
}

bool XSlider::MouseDown(XMouse* mouse)
{
    if (mouse->control) {
        SetValue(default_, false);
        return false;
    }
    anchorX_ = mouse->LocalPressX();
    anchorY_ = mouse->LocalPressY();
    anchorFraction_ = Fraction();
    fine_ = mouse->shift;
    return true;
}

void XSlider::MouseDrag(XMouse* mouse)
{
    const int x = mouse->LocalX();
    const int y = mouse->LocalY();
    if (mouse->shift != fine_) {
        anchorX_ = x;
        anchorY_ = y;
        anchorFraction_ = Fraction();
        fine_ = mouse->shift;
    }
    double movement = 0;
    if (horizontalTravel_ > 0) {
        movement = static_cast<double>(x - anchorX_) / horizontalTravel_;
    } else if (verticalTravel_ > 0) {
        movement = static_cast<double>(anchorY_ - y) / verticalTravel_;
    } else {
        return;
    }
    if (fine_) movement *= fineRatio_;
    SetFraction(anchorFraction_ + movement, fine_);
}
