// A fixed ring of records that any number of threads may post into while one thread (the GUI
// thread) drains it. Each slot carries a sequence number: a producer claims a position with a
// compare-exchange, stores the record and then publishes the slot with a release store, so the
// consumer never reads a slot before its record is complete, and records from one producer
// arrive in the order that producer posted them.
//
// Positions start at capacity - 1 and the record of position p lives in slot (p + 1) % capacity,
// so the read and write indices look like a classic ring's. At most capacity - 1 records are
// unread at once; a post into a full ring is refused and changes nothing.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <type_traits>

template <typename T>
class UQueue {
    static_assert(std::is_trivially_copyable_v<T>, "records are copied between threads");

public:
    explicit UQueue(std::uint32_t capacity = 128)
        : capacity_(std::max<std::uint32_t>(capacity, 2)),
          slots_(std::make_unique<Slot[]>(capacity_)),
          write_(capacity_ - 1),
          read_(capacity_ - 1)
    {
        // Slot s is first used by position s + capacity - 1.
        for (std::uint32_t s = 0; s < capacity_; ++s) {
            slots_[s].record = T {};
            slots_[s].sequence.store(s + capacity_ - 1, std::memory_order_relaxed);
        }
    }
    virtual ~UQueue() = default;

    UQueue(const UQueue&) = delete;
    UQueue& operator=(const UQueue&) = delete;

    std::uint32_t Capacity() const { return capacity_; }

    // Any thread. False when capacity - 1 records are unread.
    bool Post(const T& record)
    {
        std::uint64_t position = write_.load(std::memory_order_relaxed);
        for (;;) {
            const std::uint64_t read = read_.load(std::memory_order_acquire);
            if (position < read) {
                // Our write position is older than the reader: others posted meanwhile.
                position = write_.load(std::memory_order_relaxed);
                continue;
            }
            // `position` is at most the current write position and the reader only moves on,
            // so this is full now or was a moment ago; a slot is never overwritten unread.
            if (position - read >= capacity_ - 1) return false;
            if (write_.compare_exchange_weak(position, position + 1, std::memory_order_relaxed,
                                             std::memory_order_relaxed)) {
                break;
            }
        }
        Slot& slot = slots_[SlotOf(position)];
        slot.record = record;
        slot.sequence.store(position + 1, std::memory_order_release);
        return true;
    }

    // Consumer thread only. False when nothing is ready; a record whose producer is still
    // storing it is not ready yet (it, and what was claimed after it, come on a later call).
    bool Next(T& out)
    {
        const std::uint64_t position = read_.load(std::memory_order_relaxed);
        Slot& slot = slots_[SlotOf(position)];
        if (slot.sequence.load(std::memory_order_acquire) != position + 1) return false;
        out = slot.record;
        slot.sequence.store(position + capacity_, std::memory_order_relaxed);
        read_.store(position + 1, std::memory_order_release);
        return true;
    }

    // Snapshots, for tests and diagnostics.
    std::uint32_t ReadIndex() const
    {
        return static_cast<std::uint32_t>(read_.load(std::memory_order_acquire) % capacity_);
    }
    std::uint32_t WriteIndex() const
    {
        return static_cast<std::uint32_t>(write_.load(std::memory_order_acquire) % capacity_);
    }
    // Records claimed but not yet read (some may still be being stored).
    std::uint32_t Pending() const
    {
        return static_cast<std::uint32_t>(write_.load(std::memory_order_acquire) -
                                          read_.load(std::memory_order_relaxed));
    }
    bool Empty() const
    {
        return read_.load(std::memory_order_acquire) == write_.load(std::memory_order_acquire);
    }

private:
    struct Slot {
        std::atomic<std::uint64_t> sequence {0};
        T record {};
    };

    std::uint32_t SlotOf(std::uint64_t position) const
    {
        return static_cast<std::uint32_t>((position + 1) % capacity_);
    }

    const std::uint32_t capacity_;
    std::unique_ptr<Slot[]> slots_;
    std::atomic<std::uint64_t> write_;
    std::atomic<std::uint64_t> read_;
};
