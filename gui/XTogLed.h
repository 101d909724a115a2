// A toggle drawn as a small lamp: a bevelled box lit in colour 1 when on, colour 0 when off,
// with its text (mute and solo).
#pragma once

#include <string_view>

#include "gui/XToggle.h"

class XTogLed : public XToggle {
public:
    XTogLed() = default;
    XTogLed(int x, int y, int width, int height, std::string_view text = {});

    void Draw(XGraphic* g) override;
};
