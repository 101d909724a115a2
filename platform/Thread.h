// A joinable thread with a scheduling priority. The priority is a request: where the OS refuses
// it (no real-time rights), the thread runs at normal priority.
#pragma once

#include <functional>
#include <thread>

namespace platform {

enum class ThreadPriority { Idle, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };

class Thread {
public:
    Thread() = default;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    ~Thread() { Join(); }

    // Starts `body` on a new thread; false when a thread is still attached or cannot start.
    bool Start(std::function<void()> body, ThreadPriority priority = ThreadPriority::Normal);
    // Waits for the thread to finish (no-op when none is attached or when called from itself).
    void Join();
    bool Joinable() const { return thread_.joinable(); }

private:
    std::thread thread_;
};

}  // namespace platform
