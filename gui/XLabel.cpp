#include "gui/XLabel.h"

#include "gui/XGraphic.h"

XLabel::XLabel() : XLabel(0, 0, 0, 0) {}

XLabel::XLabel(int x, int y, int width, int height, std::string_view text)
    : XControl(x, y, width, height)
{
    SetColor(0, XColor());
    SetColor(2, XColor(255, 255, 255, 255));
    XControl::SetFont(11, 0);
    if (!text.empty()) SetText(text);
}

void XLabel::Draw(XGraphic* g)
{
    if (GetColor(0).IsTransparent()) {
        // A new text would land on the old one: the parent repaints our area first, unless it
        // already did in this pass.
        DrawParentUnder(g);
    } else {
        XControl::Draw(g);
    }
    g->MakeFont(FontSize(), FontWeight());
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width(), Height(), -1);
}
