// Where the GUI reads the time (the double-click rule). Injectable, so tests set it exactly.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

class XClock {
public:
    virtual ~XClock() = default;
    // Milliseconds; wraps like a 32-bit tick count.
    virtual std::uint32_t Now() const = 0;
};

class XSystemClock final : public XClock {
public:
    std::uint32_t Now() const override { return platform::TickCount(); }
};

// A clock that moves only when told to.
class XManualClock final : public XClock {
public:
    explicit XManualClock(std::uint32_t start = 1000) : now_(start) {}
    std::uint32_t Now() const override { return now_; }
    void Set(std::uint32_t now) { now_ = now; }
    void Advance(std::uint32_t ms) { now_ += ms; }

private:
    std::uint32_t now_;
};
