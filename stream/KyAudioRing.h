// A lock-free byte ring with one producer and one consumer, carrying a stream's decoded frames
// from the disk thread to the audio thread. The counters run modulo twice the size, so a full
// ring and an empty one differ without giving up a byte. Each side publishes only its own
// counter, with an atomic exchange after the bytes it covers have been copied.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class KyAudioRing {
public:
    // The one or two contiguous stretches of a peek; the second starts at the storage's start.
    struct Stretches {
        std::span<std::byte> first;
        std::span<std::byte> second;
        std::uint32_t Size() const
        {
            return static_cast<std::uint32_t>(first.size() + second.size());
        }
    };

    // Counters must fit 2 * size in 32 bits.
    static constexpr std::uint32_t kMaxSize = 1u << 30;

    KyAudioRing() = default;
    KyAudioRing(const KyAudioRing&) = delete;
    KyAudioRing& operator=(const KyAudioRing&) = delete;
    virtual ~KyAudioRing();

    // Refuses (allocating nothing) a size that is not a power of two; answers whether the
    // storage could be had. Not while either side is running.
    bool Create(std::uint32_t size);
    std::uint32_t Size() const { return size_; }

    // Either side; a snapshot.
    std::uint32_t Filled() const;
    std::uint32_t Free() const { return size_ - Filled(); }
    // Only while neither side is running.
    void Clear();

    // Producer: copies up to n bytes in (cut to the free bytes); answers the bytes written.
    std::uint32_t Write(const void* source, std::uint32_t n);
    Stretches PeekWrite(std::uint32_t n);
    void CommitWrite(std::uint32_t n);

    // Consumer: copies up to n bytes out (cut to the filled bytes); answers the bytes read.
    std::uint32_t Read(void* destination, std::uint32_t n);
    Stretches PeekRead(std::uint32_t n) const;
    void CommitRead(std::uint32_t n);

private:
    Stretches Span(std::uint32_t counter, std::uint32_t n) const;

    std::uint32_t size_ = 0;
    std::atomic<std::uint32_t> write_ {0};  // the producer's only
    std::atomic<std::uint32_t> read_ {0};   // the consumer's only
    std::uint32_t counterMask_ = 0;
    std::uint32_t indexMask_ = 0;
    std::unique_ptr<std::byte[]> storage_;
};
