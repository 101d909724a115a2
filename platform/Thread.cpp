#include "platform/Thread.h"

#include <system_error>

#include "platform/ThreadPriority.h"

namespace platform {

bool Thread::Start(std::function<void()> body, ThreadPriority priority)
{
    if (thread_.joinable() || !body) return false;
    try {
        thread_ = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return false;
    }
    ApplyPriority(thread_, priority);
    return true;
}

void Thread::Join()
{
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
        return;
    }
    thread_.join();
}

}  // namespace platform
