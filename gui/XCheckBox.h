// A toggle drawn as a check box with its text beside it.
#pragma once

#include <string_view>

#include "gui/XToggle.h"

class XCheckBox : public XToggle {
public:
    XCheckBox() = default;
    XCheckBox(int x, int y, int width, int height, std::string_view text = {});

    // The box: a square at the left, vertically centred.
    XRect BoxRect() const;

    void Draw(XGraphic* g) override;
};
