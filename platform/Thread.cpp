#include "platform/Thread.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "platform/Platform.h"
#include "platform/ThreadPriority.h"

namespace platform {

bool Thread::Start(std::function<void()> body, ThreadPriority priority)
{
    if (thread_.joinable() || !body) return false;
    auto ending = std::make_shared<Ending>();
    try {
        thread_ = std::thread([body = std::move(body), ending] {
            body();
            {
                std::lock_guard lock(ending->mutex);
                ending->done = true;
            }
            ending->ended.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    ending_ = std::move(ending);
    ApplyPriority(thread_, priority);
    return true;
}

void Thread::Join()
{
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
        ending_.reset();
        return;
    }
    thread_.join();
    ending_.reset();
}

bool Thread::JoinWithin(int milliseconds)
{
    if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) {
        Join();
        return true;
    }
    {
        // In short slices: a wake-up the runtime misses costs a slice, not the whole wait.
        using Clock = std::chrono::steady_clock;
        const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
        std::unique_lock lock(ending_->mutex);
        while (!ending_->done) {
            const auto now = Clock::now();
            if (now >= until) return false;
            ending_->ended.wait_for(
                lock, std::min<Clock::duration>(until - now, std::chrono::milliseconds(10)));
        }
    }
    Join();
    return true;
}

void Thread::Abandon()
{
    if (!thread_.joinable()) return;
    PinModule();
    thread_.detach();
    ending_.reset();
}

}  // namespace platform
