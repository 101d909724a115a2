// The rest of one streamed sample for one voice: the disk thread decodes it from the sample's
// file through a handle of the stream's own into a ring of floats, from which the voice pulls on
// the audio thread. Streams belong to their file's pool and are reused from its free list.
//
// Only Refill touches the file (opening it the first time, then reading), and it touches
// nothing but the stream itself: a disk thread given up in a read that does not end keeps the
// stream (shared ownership) and nothing else, while the file, its pool and the sample go.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "riff/InputStreamFile.h"
#include "sample/GigaSampleFormat.h"
#include "sample/GigaSampleReader.h"
#include "stream/KyAudioRing.h"

class GigaFile;
class GigaSample;
class GigaStreamPool;

class GigaStream : public std::enable_shared_from_this<GigaStream> {
public:
    static constexpr std::uint32_t kRingBytes = 65536;
    // A pass adds at most this many values, and only when the ring has room for all of them.
    static constexpr int kRefillValues = 1024;
    static constexpr std::uint32_t kRefillFreeBytes = kRefillValues * sizeof(float);
    // The fill that refills always reach while the stream has values left (they stop only once
    // a whole refill no longer fits). An offline render waits for no more than this.
    static constexpr std::uint32_t kReachableBytes = kRingBytes - kRefillFreeBytes;

    // Disk thread. A stream whose ring cannot be had is refused (null). The file is opened by
    // the first Refill; one that cannot be opened still works, producing nothing, so its voice
    // ends by underrun (each start tries the file again).
    static std::shared_ptr<GigaStream> Create(GigaFile& file, GigaStreamPool& pool);

    GigaStream(const GigaStream&) = delete;
    GigaStream& operator=(const GigaStream&) = delete;

    // Disk thread, no file touched: takes what it needs of the sample, to go on where its
    // preload ended. False (and nothing to produce) when the sample has nothing to stream; a
    // format that cannot be decoded from there ends the stream at its first Refill.
    bool Start(const GigaSample& sample);
    // Disk thread: decodes at most kRefillValues values through `scratch` into the ring; answers
    // the values added. The first one after Start opens the file when needed and positions the
    // reader. A read that comes short (end of file, damaged block, a file that cannot be opened
    // or decoded from the start position) ends the stream. Touches the stream and `scratch`
    // only; tells the test seam (platform::kFileReadingHook) before it reads.
    int Refill(std::span<float> scratch);
    // Disk thread: empties the ring and returns the stream to its pool's free list.
    void Recycle();

    // Audio thread: all `values` floats or none (false: the ring ran dry).
    bool Pull(float* dst, int values);
    // Audio thread: the voice no longer needs the stream; the disk thread recycles it.
    void Finish() { finished_.store(true, std::memory_order_release); }

    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // Any thread: nothing more will be added to the ring (the sample's end, or a read that
    // came short).
    bool Exhausted() const { return exhausted_.load(std::memory_order_acquire); }
    GigaFile& File() const { return *file_; }
    int Channels() const { return channels_; }
    std::int64_t RemainingValues() const { return remainingValues_; }
    std::uint32_t FilledBytes() const { return ring_.Filled(); }

    // Link in the disk thread's active list or in the pool's free list (never both).
    GigaStream* next = nullptr;

private:
    GigaStream(GigaFile& file, GigaStreamPool& pool);
    // Refill's first step after Start: the handle and the reader's position.
    bool Position();

    std::atomic<bool> finished_ {true};
    std::atomic<bool> exhausted_ {true};
    GigaFile* file_;
    GigaStreamPool* pool_;
    std::string path_;  // the file's, kept so that reading never touches the file object
    InputStreamFile input_;
    GigaSampleReader reader_;
    GigaSampleFormat format_ {};
    std::int64_t startOffset_ = 0;
    bool positioned_ = false;
    KyAudioRing ring_;
    int channels_ = 0;
    std::int64_t remainingValues_ = 0;
};
