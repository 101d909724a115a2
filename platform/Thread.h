// A joinable thread with a scheduling priority. The priority is a request: where the OS refuses
// it (no real-time rights), the thread runs at normal priority.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
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
    // Join with a deadline: true once no thread is attached any more, false when the body is
    // still running after `milliseconds` (it stays attached).
    bool JoinWithin(int milliseconds);
    // Gives up a thread whose body is still running (a read that does not end): it goes on
    // alone and is never joined, and the module keeps its code for it (PinModule). Whatever the
    // body uses must stay alive by its own means, such as shared ownership.
    void Abandon();
    bool Joinable() const { return thread_.joinable(); }

private:
    // Told by the thread when its body has returned; shared, so an abandoned thread keeps it.
    struct Ending {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
    };

    std::thread thread_;
    std::shared_ptr<Ending> ending_;
};

}  // namespace platform
