#include "gui/XProgress.h"

#include <algorithm>
#include <cmath>

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

XProgress::XProgress() : XProgress(0, 0, 0, 0) {}

XProgress::XProgress(int x, int y, int width, int height, std::string_view text)
    : XControl(x, y, width, height)
{
    if (!text.empty()) SetText(text);
}

void XProgress::SetValue(float value)
{
    const float v = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    if (v == value_) return;
    value_ = v;
    Invalidate();
}

void XProgress::Draw(XGraphic* g)
{
    XControl::Draw(g);
    if (value_ > 0) {
        g->SetFillColor(GetColor(1));
        g->FillRect(1, 1, static_cast<int>(value_ * (Width() - 2)), Height() - 2);
    }
    g->SetFont(xcode::kFontDefault);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
}
