// A value between a minimum and a maximum on a step grid, changed by dragging: the family's
// model (faders and knobs draw it). Dragging moves the value by the pointer's movement over the
// travel, from where the press found it; shift drags at the fine step, and pressing or letting
// go of shift during a drag continues from the current value without a jump. A control-click
// sets the default value.
#pragma once

#include <cstdint>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"

class XSlider : public XControl, public XBroadcaster {
public:
    XSlider();
    XSlider(int x, int y, int width, int height);

    // A step of 0 or less becomes a hundredth of the range, a fine step of 0 or less a fifth of
    // the step. The value is not touched. Bounds given the wrong way round are swapped; ranges
    // whose span is not a finite number are refused.
    void SetRange(double minimum, double maximum, double step, double fineStep = 0);
    // Clamped and snapped to the step grid.
    void SetDefault(double value);
    // Clamps, snaps to the step (fine: the fine step) and, when that changed the value, stores
    // it, calls ValueChanged, redraws and broadcasts SliderChanged. Not-a-number is ignored.
    void SetValue(double value, bool fine = false);
    // As SetValue for a value the program shows rather than the user's edit: the listeners are
    // not told.
    void SetValueSilently(double value, bool fine = false);
    // A fraction of the range (clamped to 0 .. 1) as SetValue.
    void SetFraction(double fraction, bool fine = false);
    // Where the value sits in the range (0 for an empty range).
    double Fraction() const;

    double GetValue() const { return value_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Step() const { return step_; }
    double FineStep() const { return fineStep_; }
    double FineRatio() const { return fineRatio_; }
    double DefaultValue() const { return default_; }

    // Pixels of pointer movement for the whole range; setting one clears the other.
    void SetHorizontalTravel(std::int32_t pixels);
    void SetVerticalTravel(std::int32_t pixels);
    std::int32_t HorizontalTravel() const { return horizontalTravel_; }
    std::int32_t VerticalTravel() const { return verticalTravel_; }
    bool IsFine() const { return fine_; }

    // After the value changed, before the broadcast.
    virtual void ValueChanged(double value) {}

    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;

private:
    double Snap(double value, double q) const;
    // SetValue's work short of the broadcast; answers whether the value changed.
    bool Store(double value, bool fine);

    double value_ = 0.123456;
    double minimum_ = 0;
    double maximum_ = 1;
    double step_ = 0.01;
    double fineStep_ = 0.01;
    double fineRatio_ = 1;
    double default_ = 0;
    std::int32_t horizontalTravel_ = 0;
    std::int32_t verticalTravel_ = 0;
    std::int32_t anchorX_ = 0;
    std::int32_t anchorY_ = 0;
    double anchorFraction_ = 0;
    bool fine_ = false;
};
