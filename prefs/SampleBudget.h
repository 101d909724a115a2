// The sample memory budget in megabytes: a fixed limit and the running total charged by the
// preload stores. Charged from the loading thread, read by the GUI, never touched by audio.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/QelLog.h"

class SampleBudget : public QelLog {
public:
    explicit SampleBudget(std::int64_t limitMb = 0) : limit_(limitMb) {}

    // Adds mb to the total unless that would exceed the limit; false leaves the total unchanged.
    bool Reserve(std::int64_t mb);
    // Gives mb back; the total never goes below 0.
    void Release(std::int64_t mb);

    std::int64_t Limit() const { return limit_.load(std::memory_order_acquire); }
    std::int64_t Total() const { return total_.load(std::memory_order_acquire); }
    void SetLimit(std::int64_t limitMb) { limit_.store(limitMb, std::memory_order_release); }

private:
    std::atomic<std::int64_t> limit_;
    std::atomic<std::int64_t> total_ {0};
};
