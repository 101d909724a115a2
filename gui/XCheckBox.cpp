#include "gui/XCheckBox.h"

#include <algorithm>

#include "gui/XCodes.h"
#include "gui/XGraphic.h"
#include "gui/XRegn.h"

namespace {

constexpr int kBoxSide = 16;

}  // namespace

XCheckBox::XCheckBox(int x, int y, int width, int height, std::string_view text)
    : XToggle(x, y, width, height, text)
{
    SetColor(3, XColor(90, 90, 100, 255));
}

XRect XCheckBox::BoxRect() const
{
    const int side = std::max(0, std::min({kBoxSide, Height(), Width()}));
    return XRect::FromSize(0, (Height() - side) / 2, side, side);
}

void XCheckBox::Draw(XGraphic* g)
{
    XControl::Draw(g);
    const XRect box = BoxRect();
    g->Frame(box, GetColor(3));
    g->Frame(box.Inflated(-2), GetColor(3));
    if (IsOn()) {
        const int cx = (box.left + box.right) / 2;
        const int cy = (box.top + box.bottom) / 2;
        XRegn mark;
        mark.AddPoint(cx, cy);
        mark.AddPoint(cx + 8, cy - 8);
        mark.AddPoint(cx + 11, cy - 5);
        mark.AddPoint(cx, cy + 6);
        mark.AddPoint(cx - 6, cy);
        mark.AddPoint(cx - 3, cy - 3);
        mark.AddPoint(cx, cy);
        g->FillPolygon(mark, GetColor(1));
        g->Polyline(mark, XColor(0, 0, 0, 255));
    }
    const int textX = box.right + 4;
    g->SetFont(xcode::kFontDefault);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), textX, 0, Width() - textX, Height(), -1);
}
