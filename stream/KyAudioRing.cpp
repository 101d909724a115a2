#include "stream/KyAudioRing.h"

#include <algorithm>
#include <cstring>
#include <new>

KyAudioRing::~KyAudioRing() = default;

bool KyAudioRing::Create(std::uint32_t size)
{
    if (size == 0 || size > kMaxSize || (size & (size - 1)) != 0) return false;
    storage_.reset(new (std::nothrow) std::byte[size]);
    if (!storage_) {
        size_ = counterMask_ = indexMask_ = 0;
        return false;
    }
    size_ = size;
    counterMask_ = 2 * size - 1;
    indexMask_ = size - 1;
    Clear();
    return true;
}

std::uint32_t KyAudioRing::Filled() const
{
    return (write_.load(std::memory_order_acquire) - read_.load(std::memory_order_acquire)) &
           counterMask_;
}

void KyAudioRing::Clear()
{
    write_.store(0, std::memory_order_release);
    read_.store(0, std::memory_order_release);
}

KyAudioRing::Stretches KyAudioRing::Span(std::uint32_t counter, std::uint32_t n) const
{
    const std::uint32_t at = counter & indexMask_;
    const std::uint32_t tillEnd = std::min(n, size_ - at);
    return {{storage_.get() + at, tillEnd}, {storage_.get(), n - tillEnd}};
}

KyAudioRing::Stretches KyAudioRing::PeekWrite(std::uint32_t n)
{
    // Acquire on the consumer's counter: its copies out of the bytes we are about to reuse are
    // done before we overwrite them.
    const std::uint32_t write = write_.load(std::memory_order_relaxed);
    const std::uint32_t filled = (write - read_.load(std::memory_order_acquire)) & counterMask_;
    return Span(write, std::min(n, size_ - filled));
}

void KyAudioRing::CommitWrite(std::uint32_t n)
{
    const std::uint32_t write = write_.load(std::memory_order_relaxed);
    write_.exchange((write + n) & counterMask_, std::memory_order_acq_rel);
}

KyAudioRing::Stretches KyAudioRing::PeekRead(std::uint32_t n) const
{
    const std::uint32_t read = read_.load(std::memory_order_relaxed);
    const std::uint32_t filled = (write_.load(std::memory_order_acquire) - read) & counterMask_;
    return Span(read, std::min(n, filled));
}

void KyAudioRing::CommitRead(std::uint32_t n)
{
    const std::uint32_t read = read_.load(std::memory_order_relaxed);
    read_.exchange((read + n) & counterMask_, std::memory_order_acq_rel);
}

std::uint32_t KyAudioRing::Write(const void* source, std::uint32_t n)
{
    const Stretches s = PeekWrite(n);
    const auto* from = static_cast<const std::byte*>(source);
    if (!s.first.empty()) std::memcpy(s.first.data(), from, s.first.size());
    if (!s.second.empty()) std::memcpy(s.second.data(), from + s.first.size(), s.second.size());
    CommitWrite(s.Size());
    return s.Size();
}

std::uint32_t KyAudioRing::Read(void* destination, std::uint32_t n)
{
    const Stretches s = PeekRead(n);
    auto* to = static_cast<std::byte*>(destination);
    if (!s.first.empty()) std::memcpy(to, s.first.data(), s.first.size());
    if (!s.second.empty()) std::memcpy(to + s.first.size(), s.second.data(), s.second.size());
    CommitRead(s.Size());
    return s.Size();
}
