// The settings window: a "Controls" page (the instrument volume controller) and a "Memory" page
// (memory figures and the sample preload durations) under a tab bar, and an "Ok" button, also
// clicked by enter. Each change takes effect and is stored at once; there is nothing to cancel.
// The editor shows it with ShowPopup(std::make_unique<WSettings>(prefs), editorcode::kSettings).
#pragma once

#include <array>
#include <cstdint>

#include "gui/WPopup.h"
#include "gui/XListener.h"

class GigaPrefs;
class XButton;
class XControl;
class XTabs;
class XViewControl;
class XViewDisk;

class WSettings : public WPopup, public XListener {
public:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 240;
    static constexpr int kControlsTab = 0;
    static constexpr int kMemoryTab = 1;

    explicit WSettings(GigaPrefs& prefs);

    XTabs* Tabs() const { return tabs_; }
    XViewControl* ControlsPage() const { return controls_; }
    XViewDisk* MemoryPage() const { return memory_; }
    XButton* OkButton() const { return ok_; }

    // Shows the page of the tab, hides the others.
    void TabChanged(XTabs* sender, std::int32_t index) override;
    void ButtonClicked(XButton* sender, std::int32_t code) override;

private:
    XTabs* tabs_ = nullptr;
    XViewControl* controls_ = nullptr;
    XViewDisk* memory_ = nullptr;
    XButton* ok_ = nullptr;
    std::array<XControl*, 2> pages_ {};
};
