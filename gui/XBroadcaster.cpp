#include "gui/XBroadcaster.h"

#include <algorithm>

XBroadcaster::~XBroadcaster() = default;

void XBroadcaster::AddListener(XListener* listener)
{
    if (listener) listeners_.push_back(listener);
}

void XBroadcaster::RemoveListener(XListener* listener)
{
    if (busy_) {
        std::replace(listeners_.begin(), listeners_.end(), listener,
                     static_cast<XListener*>(nullptr));
    } else {
        std::erase(listeners_, listener);
    }
}

int XBroadcaster::ListenerCount() const
{
    return static_cast<int>(
        std::count_if(listeners_.begin(), listeners_.end(), [](XListener* l) { return l; }));
}

template <typename Call>
void XBroadcaster::Each(Call call)
{
    if (busy_) return;
    busy_ = true;
    // By index and up to the count at the start: listeners may be added or removed meanwhile.
    const std::size_t count = listeners_.size();
    for (std::size_t i = 0; i < count && i < listeners_.size(); ++i) {
        if (XListener* listener = listeners_[i]) call(*listener);
    }
    std::erase(listeners_, nullptr);
    busy_ = false;
}

void XBroadcaster::Broadcast(XControl* sender, std::int32_t code)
{
    switch (kind_) {
        case kNotify:
            Each([&](XListener& l) { l.Notify(sender, code); });
            break;
        case kKindOne:
            Each([&](XListener& l) { l.KindOneNotify(sender, code); });
            break;
        case kKindTwo:
            Each([&](XListener& l) { l.KindTwoNotify(sender, code); });
            break;
        case kList:
            Each([&](XListener& l) { l.ListNotify(sender, code); });
            break;
        case kTree:
            Each([&](XListener& l) { l.TreeNotify(sender, code); });
            break;
        case kEdit:
            Each([&](XListener& l) { l.EditNotify(sender, code); });
            break;
        default:
            break;
    }
}

void XBroadcaster::ButtonClicked(XButton* sender, std::int32_t code)
{
    Each([&](XListener& l) { l.ButtonClicked(sender, code); });
}

void XBroadcaster::ToggleChanged(XToggle* sender, std::int32_t state)
{
    Each([&](XListener& l) { l.ToggleChanged(sender, state); });
}

void XBroadcaster::SliderChanged(XSlider* sender, std::int32_t value)
{
    Each([&](XListener& l) { l.SliderChanged(sender, value); });
}

void XBroadcaster::SelectChanged(XSelect* sender, std::int32_t index)
{
    Each([&](XListener& l) { l.SelectChanged(sender, index); });
}

void XBroadcaster::TabChanged(XTabs* sender, std::int32_t index)
{
    Each([&](XListener& l) { l.TabChanged(sender, index); });
}
