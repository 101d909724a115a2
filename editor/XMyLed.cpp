#include "editor/XMyLed.h"

#include "gui/XGraphic.h"

XMyLed::XMyLed(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor());
}

void XMyLed::SetOn(bool on)
{
    if (on == on_) return;
    on_ = on;
    Invalidate();
}

void XMyLed::Draw(XGraphic* g)
{
    DrawParentUnder(g);
    g->DrawPic(on_ ? lit_ : dark_, 0, 0);
}
