// The value under a knob: printed with 0 or 2 decimals and coloured against the program's own
// value (the marker): red below, grey equal, green above.
#pragma once

#include "editor/XValTop.h"

class XValBot : public XValTop {
public:
    XValBot(int x, int y, int width, int height);

    void SetValue(double value, double marker, int decimals);
    double Value() const { return value_; }
    double Marker() const { return marker_; }
    // Empties the box (no program to show).
    void Clear();

private:
    double value_ = 0;
    double marker_ = 0;
};
