// Decodes a sample's data (plain 16- or 24-bit, or block-compressed in any of its modes) into
// interleaved 16-bit values (preloads) or floats (streams). Each reader owns its buffer, which
// holds compressed blocks and plain data on their way to decoding, so readers on different
// threads never share memory. Reads never go beyond the sample's 'data' chunk. A reader made to
// read ahead fills its buffer with large reads as far as the caller's request will need (the
// preloads); otherwise it reads exactly what the next block or piece needs (the streams, which
// keep many readers).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "dsp/DecodeDelta.h"

struct GigaSampleFormat;
class InputStream;

class GigaSampleReader {
public:
    static constexpr std::size_t kBlockBytes = 8192;
    static constexpr std::size_t kPreloadReadAhead = std::size_t {256} << 10;
    static constexpr int kMaxChannels = 2;
    static constexpr float kDefaultScale = std::bit_cast<float>(0x34000001u);
    static constexpr float kShortScale = 1.0f / 32767.0f;

    // A buffer of readAheadBytes (at least one block) makes the reader read ahead.
    explicit GigaSampleReader(std::size_t readAheadBytes = 0);
    ~GigaSampleReader();
    GigaSampleReader(const GigaSampleReader&) = delete;
    GigaSampleReader& operator=(const GigaSampleReader&) = delete;

    // Positions `input` at `offset` (inside the sample's data; a compressed sample only at a
    // block's start). False when the sample's format cannot be decoded or the offset lies
    // outside its data.
    bool Open(const GigaSampleFormat& sample, InputStream& input, std::int64_t offset);

    // Decode up to `frames` frames (clipped to what dst holds); answer the frames produced.
    // Fewer than asked means the data ended, or a block was damaged (Failed() then tells).
    int ReadShorts(std::span<std::int16_t> dst, int frames);
    int ReadFloats(std::span<float> dst, int frames);

    // A block that does not fit the buffer, or a mode foreign to the bit depth, was met.
    bool Failed() const { return failed_; }
    // Where the input stands: after a preload, where streaming continues.
    std::int64_t Position() const;
    float Scale() const { return scale_; }

private:
    struct Channel {
        std::size_t cursor = 0;  // next byte of this channel in the block
        int mode = 0;
        dsp::DeltaState state;
    };

    template <typename Out>
    int Read(std::span<Out> dst, int frames);
    template <typename Out>
    int ReadPlain(Out* dst, int frames);
    template <typename Out>
    void DecodeBlockFrames(Out* dst, int frames);
    // Where decoded values go: interleaved from dst, scaled for the output type.
    template <typename Out>
    auto Sink(Out* dst) const;

    // Stages the next block of the data chunk for decoding; false at the end of the data, or on a
    // damaged block (Failed() then tells). framesWanted: what the current read still wants.
    bool ReadBlock(int framesWanted);
    // Makes up to n bytes (n at most the buffer's size) of the data chunk from the position on
    // contiguous in the buffer, reading ahead up to `wanted` bytes where the reader reads ahead;
    // answers how many are there (fewer only at the end of the data).
    std::int64_t Stage(std::int64_t n, std::int64_t wanted);
    const std::byte* StagedBytes() const { return buffer_.get() + begin_; }
    std::int64_t Staged() const { return static_cast<std::int64_t>(end_ - begin_); }
    void Consume(std::int64_t n);

    InputStream* input_ = nullptr;
    const std::size_t capacity_;
    const bool readsAhead_;
    std::unique_ptr<std::byte[]> buffer_;
    std::size_t begin_ = 0;  // staged bytes, read from the input but not yet decoded
    std::size_t end_ = 0;
    const std::byte* block_ = nullptr;  // the block being decoded, inside the buffer
    std::int64_t lastBlockBytes_ = 0;
    std::array<Channel, kMaxChannels> channel_ {};
    int channels_ = 0;
    int bits_ = 16;
    int truncatedBits_ = 0;
    int blockFrames_ = 0;
    int framesLeft_ = 0;
    int blockFrame_ = 0;  // frames of the current block already decoded
    std::int64_t dataEnd_ = 0;
    float scale_ = kDefaultScale;
    bool failed_ = false;
};
