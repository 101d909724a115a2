#include "editor/WMessage.h"

#include <algorithm>
#include <vector>

#include "gui/XButton.h"
#include "gui/XLabel.h"

namespace {

constexpr int kMargin = 14;
constexpr int kTop = 30;
constexpr int kLineHeight = 18;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 22;

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

WMessage::WMessage(std::string_view text)
    : WPopup(kWidth, kHeight + kLineHeight * (static_cast<int>(Lines(text).size()) - 1), "Marlet")
{
    int y = kTop;
    for (std::string_view line : Lines(text)) {
        XLabel* label = Add<XLabel>(kMargin, y, kWidth - 2 * kMargin, kLineHeight, line);
        label->SetColor(2, XColor(235, 235, 240));
        y += kLineHeight;
    }
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
