#include "gui/XEventQueue.h"

XEventQueue::XEventQueue(std::uint32_t capacity) : queue_(capacity) {}

XEventQueue::~XEventQueue() = default;

bool XEventQueue::Post(const XEvent& event)
{
    return queue_.Post(event);
}
