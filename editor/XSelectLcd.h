// An LCD-style selector (the output bus): a press anywhere on it asks the owner for a menu.
#pragma once

#include <string_view>

#include "gui/XSelect.h"

class XSelectLcd : public XSelect {
public:
    XSelectLcd(int x, int y, int width, int height, std::string_view text = {});

    bool MouseDown(XMouse* mouse) override;
};
