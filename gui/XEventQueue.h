// A view's inbox: the one way other threads reach the GUI. Any thread posts; the GUI thread
// drains the queue on its timer tick (XView::Idle). Producers stop posting before the view
// goes (a thread that posts to a dialog is joined when the dialog closes).
#pragma once

#include <cstdint>

#include "gui/UQueue.h"
#include "gui/XEvent.h"

class XEventQueue {
public:
    static constexpr std::uint32_t kCapacity = 128;

    explicit XEventQueue(std::uint32_t capacity = kCapacity);
    virtual ~XEventQueue();

    // Any thread. False (and the event is dropped) when 127 events are already waiting.
    bool Post(const XEvent& event);
    bool Post(std::int32_t code, std::int32_t a = 0, std::int32_t b = 0)
    {
        return Post(XEvent {code, a, b});
    }

    // GUI thread: the oldest waiting event, false when none.
    bool NextEvent(XEvent& out) { return queue_.Next(out); }
    bool QueueEmpty() const { return queue_.Empty(); }
    const UQueue<XEvent>& Queue() const { return queue_; }

private:
    UQueue<XEvent> queue_;
};
