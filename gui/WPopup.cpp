#include "gui/WPopup.h"

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

namespace {

constexpr XColor kTop(40, 47, 59, 255);
constexpr XColor kBottom(20, 20, 20, 255);
constexpr XColor kTitle(225, 228, 235, 255);
constexpr int kTitleHeight = 22;

}  // namespace

WPopup::WPopup(int width, int height, std::string_view title) : XView(0, 0, width, height)
{
    SetDialog(true);
    SetTitle(title);
    SetColor(0, XColor(30, 34, 42, 255));
    SetColor(2, kTitle);
    SetColor(3, XColor(96, 104, 120, 255));
}

void WPopup::Draw(XGraphic* g)
{
    const XRect bounds = XRect::FromSize(0, 0, Width(), Height());
    g->BevelRect(bounds, GetColor(3), 2);
    g->Gradient(bounds.Inflated(-3), kTop, kBottom);
    if (!Title().empty()) {
        g->SetFont(xcode::kFontBold);
        g->SetTextColor(GetColor(2));
        g->TextCentered(Title(), 4, 4, Width() - 8, kTitleHeight, 0);
    }
}
