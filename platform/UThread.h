// The thread base of the disk thread and the bank manager: Start runs Run on a new thread, and
// the thread ends when Run returns. There is no stop request; a derived class tells its Run to
// finish by its own means.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Thread.h"

class UThread {
public:
    // Priorities as the callers give them: -2 lowest ... 2 highest, 0 normal.
    static constexpr int kPriorityNormal = 0;

    UThread() = default;
    UThread(const UThread&) = delete;
    UThread& operator=(const UThread&) = delete;
    // Joins a thread still running. A derived class whose Run uses its own members must call
    // Join() in its destructor: by the time this one runs, those members are gone.
    virtual ~UThread();

    // Refused while a thread runs (or has not finished leaving Run yet). Safe to call from
    // several threads: exactly one of concurrent callers gets to start the thread.
    bool Start(std::int32_t code, int priority);
    bool IsRunning() const { return running_.load(std::memory_order_acquire); }
    std::int32_t Code() const { return code_.load(std::memory_order_relaxed); }

protected:
    virtual void Run() = 0;
    // Called by Start on the caller's thread before the thread is created.
    virtual void StartHook() {}
    // Called first thing on the new thread, before Run.
    virtual void ThreadHook() {}

    // Waits until the current thread (if any) has ended.
    void Join();
    // Join with a deadline: false when the thread still runs after `milliseconds`.
    bool JoinWithin(int milliseconds);
    // Collects a thread that has left Run, so that it is gone rather than still on its way out;
    // nothing when a thread runs or is being started. Safe beside Start.
    void Reap();

private:
    void Body();

    std::atomic<std::int32_t> code_ {0};
    std::atomic<bool> running_ {false};
    std::atomic<bool> launched_ {false};  // Start is done with thread_
    platform::Thread thread_;
};
