#include "editor/WSettings.h"

#include "editor/XViewControl.h"
#include "editor/XViewDisk.h"
#include "gui/XButton.h"
#include "gui/XTabs.h"

namespace {

constexpr int kMargin = 10;
// Below the title.
constexpr int kTabsY = 28;
constexpr int kTabsHeight = 17;
constexpr int kTabWidth = 100;
constexpr int kPageY = kTabsY + kTabsHeight;
constexpr int kPageWidth = WSettings::kWidth - 2 * kMargin;
constexpr int kPageHeight = 155;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 22;

}  // namespace

WSettings::WSettings(GigaPrefs& prefs) : WPopup(kWidth, kHeight, "Settings")
{
    SetColor(3, XColor(220, 220, 255));
    tabs_ = Add<XTabs>(kMargin, kTabsY, kPageWidth, kTabsHeight);
    tabs_->AddTab("Controls", kTabWidth);
    tabs_->AddTab("Memory", kTabWidth);
    controls_ = Add<XViewControl>(kMargin, kPageY, kPageWidth, kPageHeight, prefs);
    memory_ = Add<XViewDisk>(kMargin, kPageY, kPageWidth, kPageHeight, prefs);
    pages_ = {controls_, memory_};
    memory_->Hide();
    tabs_->AddListener(this);

    // Counted from the right and bottom edges.
    ok_ = Add<XButton>(-(kButtonWidth + kMargin), -(kButtonHeight + kMargin), kButtonWidth,
                       kButtonHeight, "Ok");
    ok_->SetHighlight(true);
    ok_->AddListener(this);
    SetDefaultButton(ok_);
}

void WSettings::TabChanged(XTabs* sender, std::int32_t index)
{
    if (sender != tabs_) return;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (static_cast<std::int32_t>(i) == index) {
            pages_[i]->Show();
        } else {
            pages_[i]->Hide();
        }
    }
    Invalidate();
}

void WSettings::ButtonClicked(XButton* sender, std::int32_t)
{
    if (sender == ok_) Close(0);
}
