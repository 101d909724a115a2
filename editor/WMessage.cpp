#include "editor/WMessage.h"

#include "gui/XButton.h"
#include "gui/XLabel.h"

namespace {

constexpr int kMargin = 14;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 22;

}  // namespace

WMessage::WMessage(std::string_view text) : WPopup(kWidth, kHeight, "Marlet")
{
    XLabel* label = Add<XLabel>(kMargin, 30, kWidth - 2 * kMargin, 18, text);
    label->SetColor(2, XColor(235, 235, 240));
    XButton* ok = Add<XButton>(-(kButtonWidth + kMargin), -(kButtonHeight + 10), kButtonWidth,
                               kButtonHeight, "OK");
    ok->AddListener(this);
    SetDefaultButton(ok);
    SetCancelButton(ok);
}

void WMessage::ButtonClicked(XButton* sender, std::int32_t code)
{
    Close(1);
}
