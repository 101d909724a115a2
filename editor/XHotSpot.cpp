#include "editor/XHotSpot.h"

XHotSpot::XHotSpot(int x, int y, int width, int height, std::int32_t code)
    : XControl(x, y, width, height), code_(code)
{
    SetColor(0, XColor());
}

bool XHotSpot::MouseDown(XMouse* mouse)
{
    Broadcast(this, code_);
    return false;
}
