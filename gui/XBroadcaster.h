// The sending half of control notifications. Widgets derive it as a second base and call a typed
// broadcast (ButtonClicked, SliderChanged, ...) or the generic Broadcast, whose listener
// operation is chosen by the kind. A broadcast issued from inside a listener of the same
// broadcaster is dropped (the busy flag), so listeners cannot recurse into each other.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/XListener.h"

class XBroadcaster {
public:
    // Which listener operation Broadcast calls.
    enum Kind : std::int32_t {
        kNotify = 0,   // Notify
        kKindOne = 1,  // KindOneNotify
        kKindTwo = 2,  // KindTwoNotify
        kList = 3,     // ListNotify
        kTree = 4,     // TreeNotify
        kEdit = 5,     // EditNotify
    };

    explicit XBroadcaster(std::int32_t kind = kNotify) : kind_(kind) {}
    virtual ~XBroadcaster();

    XBroadcaster(const XBroadcaster&) = delete;
    XBroadcaster& operator=(const XBroadcaster&) = delete;

    void SetKind(std::int32_t kind) { kind_ = kind; }
    std::int32_t GetKind() const { return kind_; }

    // Appends; a listener added during a broadcast hears the next one. Null is ignored. A
    // listener outlives the broadcaster or removes itself first.
    void AddListener(XListener* listener);
    // Safe at any time, also from inside a listener during a broadcast: a removed listener is
    // not called again, not even later in the same broadcast.
    void RemoveListener(XListener* listener);
    int ListenerCount() const;
    bool IsBusy() const { return busy_; }

    void Broadcast(XControl* sender, std::int32_t code);
    void ButtonClicked(XButton* sender, std::int32_t code);
    void ToggleChanged(XToggle* sender, std::int32_t state);
    void SliderChanged(XSlider* sender, std::int32_t value);
    void SelectChanged(XSelect* sender, std::int32_t index);
    void TabChanged(XTabs* sender, std::int32_t index);

private:
    template <typename Call>
    void Each(Call call);

    std::int32_t kind_;
    // Removed entries become null during a broadcast and are dropped once it ends.
    std::vector<XListener*> listeners_;
    bool busy_ = false;
};
