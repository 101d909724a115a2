#include "editor/XGigaTop.h"

#include "gui/XGraphic.h"

XGigaTop::XGigaTop(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor(40, 40, 40));
}

void XGigaTop::SetAlternative(bool alternative)
{
    if (alternative == alternative_) return;
    alternative_ = alternative;
    Invalidate();
}

void XGigaTop::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->DrawPic(alternative_ ? slot_ : strip_, 0, 0);
}
