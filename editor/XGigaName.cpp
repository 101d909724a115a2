#include "editor/XGigaName.h"

#include <algorithm>

#include "gui/XGraphic.h"

XGigaName::XGigaName(int x, int y, int width, int height) : XSelect(x, y, width, height) {}

void XGigaName::Show(std::string_view name, XColor colour)
{
    if (name == Text() && colour == GetColor(2)) return;
    SetText(name);
    SetColor(2, colour);
    Invalidate();
}

void XGigaName::SetProgress(int percent)
{
    percent = percent < 0 ? -1 : std::min(percent, 100);
    if (percent == progress_) return;
    progress_ = percent;
    Invalidate();
}

void XGigaName::Draw(XGraphic* g)
{
    XControl::Draw(g);
    if (progress_ >= 0) {
        g->SetFillColor(XColor(200, 30, 30));
        g->FillRect(1, Height() - 3, (Width() - 2) * progress_ / 100, 2);
    }
    g->MakeFont(10, 0);
    g->SetTextColor(GetColor(2));
    // Text wider than the box starts at its left and is cut by the box's clip.
    g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
}

bool XGigaName::MouseDown(XMouse* mouse)
{
    XBroadcaster::SelectChanged(this, 0);
    return false;
}
