// Decodes the chunks of one 'wave' list ('fmt ', 'smpl', 'ewav', 'data') into a sample, in any
// order, then settles the frame count and the loop with Finish().
#pragma once

#include <cstdint>
#include <span>

class GigaChunkContext;
class GigaSample;

class GigaSampleDecoder {
public:
    // The largest compressed block the sample reader can hold.
    static constexpr int kMaxBlockBytes = 8192;

    explicit GigaSampleDecoder(GigaSample& sample) : sample_(sample) {}

    void ReadFormat(std::span<const std::uint8_t> data);
    void ReadSampleLoop(std::span<const std::uint8_t> data);
    void ReadExtension(std::span<const std::uint8_t> data);
    // Position of the 'data' chunk's first byte in its file and its size as the chunk header
    // gives it.
    void ReadData(std::int64_t offset, std::uint32_t size);

    // Computes the frame count and sanitises the loop. A sample the engine cannot play (a format
    // other than 16 or 24 bits, mono or stereo; a compressed block too large for the reader; data
    // beyond 2 GB) is refused: it keeps 0 frames, so no zone ever plays it.
    bool Finish(const GigaChunkContext& context);

private:
    GigaSample& sample_;
    std::int64_t dataOffset_ = 0;
    std::uint32_t dataSize_ = 0;
    std::uint32_t extensionVersion_ = 0;
    std::uint32_t blockFrames_ = 0;
    std::uint32_t blockCountWord_ = 0;
    std::int32_t truncatedMono_ = 0;
    std::int32_t truncatedStereo_ = 0;
};
