// One job at a time on a thread of its own, for work that reads files (a .gig file's program
// names, a performance): the thread that asks never waits for it longer than it chooses, and
// going away never waits for ever. A job still running then (a read from a drive that does not
// answer) is given up after kCloseWaitMs: it keeps its own state and the module keeps its code
// (platform::Thread::Abandon), and it ends on its own whenever its read does.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "platform/Thread.h"

template <typename Result>
class UBackgroundJob {
public:
    static constexpr int kCloseWaitMs = 1000;

    UBackgroundJob() = default;
    UBackgroundJob(const UBackgroundJob&) = delete;
    UBackgroundJob& operator=(const UBackgroundJob&) = delete;
    ~UBackgroundJob()
    {
        if (!thread_.JoinWithin(kCloseWaitMs)) thread_.Abandon();
    }

    // Runs `work` on a new thread; false while an earlier job's result has not been taken, or
    // when no thread starts.
    bool Start(std::function<Result()> work)
    {
        if (state_) return false;
        thread_.Join();  // the previous job has finished: its result was taken
        auto state = std::make_shared<State>();
        if (!thread_.Start([state, work = std::move(work)] {
                state->result = work();
                state->done.store(true, std::memory_order_release);
            }))
            return false;
        state_ = std::move(state);
        return true;
    }
    // A job was started and its result not taken yet.
    bool Pending() const { return state_ != nullptr; }
    // Its result is there to be taken.
    bool Done() const { return state_ && state_->done.load(std::memory_order_acquire); }
    // Waits up to `ms` milliseconds for the result; true when it is there.
    bool WaitFor(int ms) const
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!Done()) {
            if (!state_ || std::chrono::steady_clock::now() >= until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    // The result, once Done; the next job may start then.
    Result Take()
    {
        Result result = std::move(state_->result);
        state_.reset();
        return result;
    }

private:
    // Shared with the job's thread, which may outlive this object.
    struct State {
        Result result {};
        std::atomic<bool> done {false};
    };

    std::shared_ptr<State> state_;
    platform::Thread thread_;
};
