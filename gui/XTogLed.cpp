#include "gui/XTogLed.h"

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

XTogLed::XTogLed(int x, int y, int width, int height, std::string_view text)
    : XToggle(x, y, width, height, text)
{
}

void XTogLed::Draw(XGraphic* g)
{
    const XColor lamp = GetColor(IsOn() ? 1 : 0);
    const XRect bounds = XRect::FromSize(0, 0, Width(), Height());
    g->BevelRect(bounds.Inflated(-1), lamp, 1);
    g->Frame(bounds, lamp.Scaled(0.6f));
    g->SetFont(xcode::kFontSmall);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
}
