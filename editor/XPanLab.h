// A titled panel: a dark, framed area with its title in the top strip. The stack editor groups
// its controls in these; children are placed in the panel's coordinates.
#pragma once

#include <string_view>

#include "gui/XControl.h"

class XPanLab : public XControl {
public:
    static constexpr int kTitleHeight = 18;

    XPanLab(int x, int y, int width, int height, std::string_view title);

    void Draw(XGraphic* g) override;
};
