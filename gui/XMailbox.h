// The latest value another thread hands the GUI thread, with a flag saying it changed since the
// GUI thread last took it. Put never blocks or allocates (the audio and loading threads call
// it); Take, on the GUI thread, answers the value once after each change. A Put between the
// two steps of a Take is taken again on the next Take, never lost.
#pragma once

#include <atomic>
#include <optional>

template <typename T>
class XMailbox {
public:
    static_assert(std::atomic<T>::is_always_lock_free);

    void Put(T value)
    {
        // The value first, then the flag (release): whoever sees the flag sees this value or a
        // later one.
        value_.store(value, std::memory_order_relaxed);
        changed_.store(true, std::memory_order_release);
    }

    std::optional<T> Take()
    {
        if (!changed_.exchange(false, std::memory_order_acquire)) return std::nullopt;
        return value_.load(std::memory_order_relaxed);
    }

private:
    std::atomic<T> value_ {};
    std::atomic<bool> changed_ {false};
};
