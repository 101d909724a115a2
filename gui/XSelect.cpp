#include "gui/XSelect.h"

#include "gui/XGraphic.h"

XSelect::XSelect() : XSelect(0, 0, 0, 0) {}

XSelect::XSelect(int x, int y, int width, int height, std::string_view text)
    : XControl(x, y, width, height)
{
    SetColor(0, XColor(0, 30, 0, 255));
    SetColor(2, XColor(0, 203, 31, 255));
    SetColor(3, XColor(60, 60, 80, 255));
    if (!text.empty()) SetText(text);
}

bool XSelect::MouseDown(XMouse* mouse)
{
    if (mouse->LocalPressX() >= Width() - kArrowHitWidth) XBroadcaster::SelectChanged(this, 0);
    return false;
}

void XSelect::DrawArrows(XGraphic* g)
{
    const int column = Width() - kArrowColumn;
    g->SetPen(GetColor(3));
    g->Line(column - 1, 1, column - 1, Height() - 2);
    // An up and a down triangle, 5 pixels wide, their bases towards the middle.
    const int ax = column + 2;
    const int mid = Height() / 2;
    g->SetPen(GetColor(2));
    for (int i = 0; i < 3; ++i) {
        g->Line(ax + i, mid - 2 - i, ax + 4 - i, mid - 2 - i);
        g->Line(ax + i, mid + 1 + i, ax + 4 - i, mid + 1 + i);
    }
}

void XSelect::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->MakeFont(10, 0);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width() - kArrowColumn, Height(), 0);
    DrawArrows(g);
}
