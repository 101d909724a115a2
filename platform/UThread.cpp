#include "platform/UThread.h"

#include <thread>

#include "platform/Platform.h"

namespace {

platform::ThreadPriority PriorityOf(int priority)
{
    switch (priority) {
        case -2:
            return platform::ThreadPriority::Idle;
        case -1:
            return platform::ThreadPriority::BelowNormal;
        case 1:
            return platform::ThreadPriority::AboveNormal;
        case 2:
            return platform::ThreadPriority::Highest;
        default:
            return platform::ThreadPriority::Normal;
    }
}

}  // namespace

UThread::~UThread()
{
    Join();
}

bool UThread::Start(std::int32_t code, int priority)
{
    // Claiming the flag first makes concurrent Starts safe: only the winner touches thread_.
    if (running_.exchange(true, std::memory_order_acq_rel)) return false;
    // The previous thread has left Run; collect it before attaching a new one.
    thread_.Join();
    code_.store(code, std::memory_order_relaxed);
    StartHook();
    launched_.store(false, std::memory_order_relaxed);
    if (!thread_.Start([this] { Body(); }, PriorityOf(priority))) {
        running_.store(false, std::memory_order_release);
        return false;
    }
    launched_.store(true, std::memory_order_release);
    return true;
}

void UThread::Join()
{
    thread_.Join();
}

bool UThread::JoinWithin(int milliseconds)
{
    return thread_.JoinWithin(milliseconds);
}

void UThread::Reap()
{
    // Holding the running flag keeps Start away from thread_ meanwhile.
    if (running_.exchange(true, std::memory_order_acq_rel)) return;
    thread_.Join();
    running_.store(false, std::memory_order_release);
}

void UThread::Body()
{
    try {
        ThreadHook();
        Run();
    } catch (...) {
        // Nothing may leave a thread body; the thread simply ends.
    }
    // A short Run can end before Start has finished with thread_; the next Start may touch it
    // only after that. The wait is a few instructions of Start's, so we poll: the Windows
    // runtime's atomic wait can miss its wake-up and leave this thread waiting for ever.
    for (int polls = 0; !launched_.load(std::memory_order_acquire); ++polls) {
        if (polls < 100) {
            std::this_thread::yield();
        } else {
            platform::SleepMs(1);
        }
    }
    running_.store(false, std::memory_order_release);
}
