// An invisible button over a part of the skin that is painted as one (the instrument menu's
// key): a press tells the listeners its code.
#pragma once

#include <cstdint>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"

class XHotSpot : public XControl, public XBroadcaster {
public:
    XHotSpot(int x, int y, int width, int height, std::int32_t code);

    void Draw(XGraphic* g) override {}
    bool MouseDown(XMouse* mouse) override;

private:
    std::int32_t code_;
};
