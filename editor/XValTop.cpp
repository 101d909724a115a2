#include "editor/XValTop.h"

#include "editor/GigaViewLayout.h"
#include "gui/XGraphic.h"

XValTop::XValTop(int x, int y, int width, int height, int fontSize) : XControl(x, y, width, height)
{
    SetColor(0, XColor());
    SetColor(2, viewlayout::kValueText);
    SetFont(fontSize, 0);
}

void XValTop::Show(std::string_view text, XColor colour)
{
    if (text == Text() && colour == GetColor(2)) return;
    SetColor(2, colour);
    SetText(text);
    Invalidate();
}

void XValTop::Draw(XGraphic* g)
{
    DrawParentUnder(g);
    g->MakeFont(FontSize(), 0);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
}
