// What a control's listeners hear. Every operation is empty by default, so a listener overrides
// only what it cares about. The typed operations come from the widgets of the same name; the
// generic ones from XBroadcaster::Broadcast, chosen by the broadcaster's kind.
#pragma once

#include <cstdint>

class XControl;
class XButton;
class XToggle;
class XSlider;
class XSelect;
class XTabs;

class XListener {
public:
    virtual ~XListener() = default;

    virtual void Notify(XControl* sender, std::int32_t code) {}  // kind 0
    virtual void ButtonClicked(XButton* sender, std::int32_t code) {}
    virtual void ToggleChanged(XToggle* sender, std::int32_t state) {}
    virtual void KindTwoNotify(XControl* sender, std::int32_t code) {}  // kind 2
    virtual void SliderChanged(XSlider* sender, std::int32_t value) {}
    virtual void SelectChanged(XSelect* sender, std::int32_t index) {}
    virtual void KindOneNotify(XControl* sender, std::int32_t code) {}  // kind 1
    virtual void TabChanged(XTabs* sender, std::int32_t index) {}
    virtual void ListNotify(XControl* sender, std::int32_t code) {}            // kind 3
    virtual void TreeNotify(XControl* sender, std::int32_t code) {}            // kind 4
    virtual void EditNotify(XControl* sender, std::int32_t code) {}            // kind 5
    virtual void Notify3(XControl* sender, std::int32_t a, std::int32_t b) {}  // unused
};
