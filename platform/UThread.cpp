#include "platform/UThread.h"

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
    launched_.notify_all();
    return true;
}

void UThread::Join()
{
    thread_.Join();
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
    // only after that.
    launched_.wait(false, std::memory_order_acquire);
    running_.store(false, std::memory_order_release);
}
