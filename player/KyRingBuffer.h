// Single-producer / single-consumer ring. Each index has exactly one writer; an index is
// published with a release operation after the element it covers has been stored, and read with
// acquire by the other side, so the consumer never sees an index ahead of its data.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

template <typename T>
class KyRingBuffer {
public:
    // `capacity` must be a power of two; capacity - 1 elements can be pending.
    explicit KyRingBuffer(std::uint32_t capacity)
        : capacity_(capacity), mask_(capacity - 1), storage_(std::make_unique<T[]>(capacity))
    {
    }

    KyRingBuffer(const KyRingBuffer&) = delete;
    KyRingBuffer& operator=(const KyRingBuffer&) = delete;

    std::uint32_t Capacity() const { return capacity_; }

    // Producer. A full ring keeps what it holds and drops the new element (answer false).
    bool Push(const T& element)
    {
        const std::uint32_t write = write_.load(std::memory_order_relaxed);
        const std::uint32_t read = read_.load(std::memory_order_acquire);
        if (((capacity_ + write - read) & mask_) == mask_) return false;
        storage_[write] = element;
        write_.exchange((write + 1) & mask_, std::memory_order_acq_rel);
        return true;
    }

    // Consumer: up to `maxCount` pending elements as at most two contiguous runs, the second
    // one starting at the beginning of the storage when the pending elements wrap.
    struct Runs {
        std::span<const T> first;
        std::span<const T> second;
        std::uint32_t Count() const
        {
            return static_cast<std::uint32_t>(first.size() + second.size());
        }
    };

    Runs Peek(std::uint32_t maxCount) const
    {
        const std::uint32_t read = read_.load(std::memory_order_relaxed);
        const std::uint32_t write = write_.load(std::memory_order_acquire);
        std::uint32_t pending = (capacity_ + write - read) & mask_;
        if (pending > maxCount) pending = maxCount;
        const std::uint32_t tillEnd = capacity_ - read;
        Runs runs;
        if (pending <= tillEnd) {
            runs.first = {storage_.get() + read, pending};
        } else {
            runs.first = {storage_.get() + read, tillEnd};
            runs.second = {storage_.get(), pending - tillEnd};
        }
        return runs;
    }

    // Consumer: the first `count` pending elements have been used.
    void Advance(std::uint32_t count)
    {
        const std::uint32_t read = read_.load(std::memory_order_relaxed);
        read_.exchange((read + count) & mask_, std::memory_order_acq_rel);
    }

    // Consumer: drops everything pending. Only the consumer's own index moves, so a producer
    // that is pushing at this moment is never disturbed.
    void Clear()
    {
        read_.exchange(write_.load(std::memory_order_acquire), std::memory_order_acq_rel);
    }

    // Either side; a snapshot.
    std::uint32_t Pending() const
    {
        return (capacity_ + write_.load(std::memory_order_acquire) -
                read_.load(std::memory_order_acquire)) &
               mask_;
    }

private:
    std::atomic<std::uint32_t> read_ {0};   // written by the consumer only
    std::atomic<std::uint32_t> write_ {0};  // written by the producer only
    const std::uint32_t capacity_;
    const std::uint32_t mask_;
    std::unique_ptr<T[]> storage_;
};
