// A bar that fills from the left with a value from 0 to 1, with its text over it.
#pragma once

#include <string_view>

#include "gui/XControl.h"

class XProgress : public XControl {
public:
    XProgress();
    XProgress(int x, int y, int width, int height, std::string_view text = {});

    // Clamped to 0 .. 1 (not-a-number is 0); redraws when it changed.
    void SetValue(float value);
    float GetValue() const { return value_; }

    void Draw(XGraphic* g) override;

private:
    float value_ = 0;
};
