#include "editor/WConfirm.h"

#include "gui/XButton.h"
#include "gui/XLabel.h"
#include "platform/Platform.h"

namespace {

constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 22;
constexpr int kButtonsFromBottom = 30;

}  // namespace

WConfirm::WConfirm(std::string_view path) : XView(0, 0, kWidth, kHeight)
{
    SetColor(0, XColor(250, 250, 250));
    SetColor(3, XColor(255, 255, 255));
    message_ = Add<XLabel>(10, 10, 381, 15, MessageFor(path));
    message_->SetColor(2, XColor(20, 20, 20));

    // Counted from the right and bottom edges.
    yes_ = Add<XButton>(-90, -kButtonsFromBottom, kButtonWidth, kButtonHeight, "Yes");
    no_ = Add<XButton>(-180, -kButtonsFromBottom, kButtonWidth, kButtonHeight, "No");
    cancel_ = Add<XButton>(-270, -kButtonsFromBottom, kButtonWidth, kButtonHeight, "Cancel");
    for (XButton* button : {yes_, no_, cancel_}) button->AddListener(this);
    SetDefaultButton(yes_);
    SetCancelButton(cancel_);
}

std::string WConfirm::MessageFor(std::string_view path)
{
    // Windows takes "/" as a separator too.
    const std::string_view name = path.empty() ? "Untitled" : platform::NameOf(path);
    return "Save changes to " + std::string(name) + "?";
}

void WConfirm::ButtonClicked(XButton* sender, std::int32_t)
{
    if (sender == yes_) {
        Close(1);
    } else if (sender == no_) {
        Close(0);
    } else if (sender == cancel_) {
        Close(-1);
    }
}
