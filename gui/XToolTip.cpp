#include "gui/XToolTip.h"

#include "gui/XCodes.h"
#include "gui/XFont.h"
#include "gui/XGraphic.h"

namespace {

constexpr int kPadX = 6;
constexpr int kPadY = 3;

}  // namespace

void XToolTip::SetText(std::string_view text)
{
    if (text.size() > kMaxText) {
        // Back to the start of a character.
        std::size_t cut = kMaxText;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text = text.substr(0, cut);
    }
    text_ = text;
}

XRect XToolTip::Size(XGraphic* g) const
{
    g->SetFont(fontSet_ ? font_ : xcode::kFontSmall);
    const XRect t = g->TextSize(text_);
    return XRect(0, 0, t.Width() + 2 * kPadX - 1, t.Height() + 2 * kPadY - 1);
}

void XToolTip::Draw(XGraphic* g, int x, int y) const
{
    const XRect size = Size(g).Offsetted(x, y);
    g->SetFillColor(XColor(250, 246, 214));
    g->FillRect(size.left, size.top, size.Width(), size.Height());
    g->Frame(size, XColor(70, 70, 60));
    g->SetTextColor(XColor(20, 20, 24));
    g->Text(text_, x + kPadX, y + kPadY + 3);
}
