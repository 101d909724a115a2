// A slider drawn as a knob: dragged up and down over 150 pixels for the whole range, its
// indicator sweeping 270 degrees from the lower left (minimum) through straight up to the lower
// right (maximum). The indicator is a white line towards the rim, or a dark dot at the rim.
#pragma once

#include <string_view>

#include "gui/XPic.h"
#include "gui/XSlider.h"

class XPotar : public XSlider {
public:
    static constexpr int kTravel = 150;
    static constexpr double kSweep = 4.712389;
    static constexpr double kStartAngle = 0.785398;

    XPotar();
    XPotar(int x, int y, int width, int height);

    // The knob's picture; false when it did not load (a plain square is drawn instead).
    bool SetPicture(std::string_view name);
    const XPic& Picture() const { return picture_; }
    // The indicator's centre (control coordinates) and length; no indicator while the radius
    // is 1 or less.
    void SetIndicator(double centreX, double centreY, double radius);
    void SetDotMode(bool on);
    bool IsDotMode() const { return dotMode_; }
    // The indicator's end at the current value.
    void IndicatorEnd(double& x, double& y) const;

    void Draw(XGraphic* g) override;

private:
    XPic picture_;
    double centreX_ = 0;
    double centreY_ = 0;
    double radius_ = 0;
    bool dotMode_ = false;
};
