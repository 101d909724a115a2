#include "editor/XPanLab.h"

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

XPanLab::XPanLab(int x, int y, int width, int height, std::string_view title)
    : XControl(x, y, width, height)
{
    SetColor(0, XColor(52, 56, 68));
    SetColor(1, XColor(70, 76, 94));
    SetColor(2, XColor(240, 240, 240));
    SetColor(3, XColor(30, 32, 40));
    SetFont(11, 0);
    SetText(title);
}

void XPanLab::Draw(XGraphic* g)
{
    const XRect whole(0, 0, Width() - 1, Height() - 1);
    g->SetFillColor(GetColor(0));
    g->FillRect(0, 0, Width(), Height());
    g->Gradient(XRect(1, 1, Width() - 2, kTitleHeight), GetColor(1), GetColor(0));
    g->Frame(whole, GetColor(3));
    g->MakeFont(FontSize(), xcode::kWeightBold);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 1, Width(), kTitleHeight, -1);
}
