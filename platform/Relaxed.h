// A value that one thread writes and others read, where only the value itself matters (no data
// travels with it): an atomic with relaxed ordering that reads and writes like a plain value.
// Used for settings that the editor changes while the audio thread reads them.
#pragma once

#include <atomic>

template <typename T>
class Relaxed {
public:
    Relaxed(T value = T {}) : value_(value) {}
    Relaxed(const Relaxed& other) : value_(other.Get()) {}
    Relaxed& operator=(const Relaxed& other)
    {
        Set(other.Get());
        return *this;
    }
    Relaxed& operator=(T value)
    {
        Set(value);
        return *this;
    }
    operator T() const { return Get(); }
    T Get() const { return value_.load(std::memory_order_relaxed); }
    void Set(T value) { value_.store(value, std::memory_order_relaxed); }

private:
    std::atomic<T> value_;
};
