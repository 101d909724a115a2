// A bar of named tabs, one of them selected. A press on an enabled tab selects it and tells the
// listeners. Tabs wider together than the bar scroll: a strip along the bottom shows which part
// is in view, and dragging its thumb moves them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"

class XTabs : public XControl, public XBroadcaster {
public:
    static constexpr int kMaxTabs = 128;
    static constexpr int kStripHeight = 6;

    XTabs();
    XTabs(int x, int y, int width, int height);

    // Appends a tab (its width at least 1 pixel); the new index, or -1 when the bar is full.
    int AddTab(std::string_view name, int width);
    void ClearTabs();
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    // Empty outside the tabs.
    std::string_view TabName(int index) const;
    void SetTabEnabled(int index, bool enabled);
    bool IsTabEnabled(int index) const;
    // Ignores indices outside the tabs and the selected one; otherwise stores it, redraws and
    // broadcasts TabChanged.
    void SetTab(int index);
    int GetTab() const { return selected_; }

    // The tab under a point (control coordinates), -1 for none.
    int TabAt(int x, int y) const;
    // All tabs side by side.
    int TotalWidth() const;
    bool HasStrip() const { return TotalWidth() > Width(); }
    int ScrollOffset() const { return scroll_; }
    void SetScrollOffset(int offset);
    // The strip's thumb, empty without a strip.
    XRect StripThumb() const;

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;
    void Resized() override { SetScrollOffset(scroll_); }

private:
    struct Tab {
        std::string name;
        int width = 0;
        bool disabled = false;
    };
    int TabRowHeight() const;

    std::vector<Tab> tabs_;
    int selected_ = 0;
    int scroll_ = 0;
    bool draggingThumb_ = false;
    int pressScroll_ = 0;
};
