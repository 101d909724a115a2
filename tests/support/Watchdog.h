// For a call that must return (a stop, a close, a join) where waiting in vain would hang the
// whole run: a scope still running when the deadline passes ends the test program at once,
// with a message that names what it waited for. The deadline is WaitFor's.
//   { testsupport::Watchdog watchdog("the editor closed mid-scan"); host.reset(); }
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "tests/support/WaitFor.h"

namespace testsupport {

class Watchdog {
public:
    explicit Watchdog(std::string what, std::chrono::milliseconds deadline = WaitDeadline())
        : what_(std::move(what)), deadline_(deadline)
    {
        thread_ = std::thread([this] { Watch(); });
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            left_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    void Watch()
    {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, deadline_, [this] { return left_; })) return;
        std::fprintf(stderr, "\nWatchdog: gave up after %.1f s waiting for %s\n",
                     static_cast<double>(deadline_.count()) / 1000.0, what_.c_str());
        std::fflush(stderr);
        std::abort();
    }

    const std::string what_;
    const std::chrono::milliseconds deadline_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool left_ = false;
    std::thread thread_;
};

}  // namespace testsupport
