#include "editor/XSelectLcd.h"

XSelectLcd::XSelectLcd(int x, int y, int width, int height, std::string_view text)
    : XSelect(x, y, width, height, text)
{
}

bool XSelectLcd::MouseDown(XMouse* mouse)
{
    XBroadcaster::SelectChanged(this, 0);
    return false;
}
