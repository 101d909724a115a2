#include "gig/GigaSampleDecoder.h"

#include <string>

#include "gig/GigaBytes.h"
#include "gig/GigaChunkContext.h"
#include "gig/GigaConvert.h"
#include "gig/GigaSample.h"

namespace {

constexpr std::uint32_t kCompressedExtension = 3;
constexpr int kStartValueBytes = 12;  // four 24-bit values, the most a channel carries

}  // namespace

void GigaSampleDecoder::ReadFormat(std::span<const std::uint8_t> data)
{
    const GigaBytes b(data);
    sample_.channels = b.U16(2);
    sample_.sampleRate = b.S32(4);
    sample_.bitsPerSample = b.U16(14);
}

void GigaSampleDecoder::ReadSampleLoop(std::span<const std::uint8_t> data)
{
    const GigaBytes b(data);
    sample_.unityNote = b.S32(12);
    sample_.fineTune = static_cast<std::int16_t>(GigaConvert::SampleFineTune(b.S32(16)));
    const std::int32_t loops = b.S32(28);
    sample_.loopEnabled = loops;
    if (loops > 0) {
        sample_.loopStart = b.S32(44);
        sample_.loopEnd = b.S32(48);
    }
}

void GigaSampleDecoder::ReadExtension(std::span<const std::uint8_t> data)
{
    const GigaBytes b(data);
    extensionVersion_ = b.U32(0);
    blockFrames_ = b.U32(8);
    blockCountWord_ = b.U32(12);
    truncatedMono_ = b.S32(64);
    truncatedStereo_ = b.S32(84);
}

void GigaSampleDecoder::ReadData(std::int64_t offset, std::uint32_t size)
{
    dataOffset_ = offset;
    dataSize_ = size + (size & 1);
}

bool GigaSampleDecoder::Finish(const GigaChunkContext& context)
{
    constexpr std::string_view where = "GigaSampleDecoder::Finish";
    GigaSample& s = sample_;
    s.frameCount = 0;
    s.blockFrames = 0;
    if (s.channels != 1 && s.channels != 2) {
        return context.Refuse(where, std::to_string(s.channels) + " channels");
    }
    if (s.bitsPerSample != 16 && s.bitsPerSample != 24) {
        return context.Refuse(where, std::to_string(s.bitsPerSample) + " bits per sample");
    }
    if (s.sampleRate <= 0) return context.Refuse(where, "no sample rate");
    if (dataOffset_ < 0 || dataOffset_ > INT32_MAX || dataSize_ > INT32_MAX) {
        return context.Refuse(where, "data beyond 2 GB");
    }
    s.dataOffset = static_cast<std::int32_t>(dataOffset_);
    s.dataSize = static_cast<std::int32_t>(dataSize_);

    std::int64_t frames = dataSize_ / (s.bitsPerSample * s.channels / 8);
    if (blockFrames_ != 0) {
        const std::int64_t blockBytes =
            s.channels * (1 + kStartValueBytes) +
            std::int64_t {blockFrames_} * s.channels * (s.bitsPerSample / 8);
        if (blockBytes > kMaxBlockBytes) {
            return context.Refuse(where, "compressed block of " + std::to_string(blockFrames_) +
                                             " frames is too large");
        }
        std::uint32_t blocks = blockCountWord_;
        if (blocks > 5) blocks -= 2;
        s.blockFrames = static_cast<std::int32_t>(blockFrames_);
        s.blockCountField = static_cast<std::int32_t>(blocks);
        frames = std::int64_t {blocks} * blockFrames_ / s.channels;
    }
    if (frames > INT32_MAX) return context.Refuse(where, "more than 2^31 frames");
    s.frameCount = static_cast<std::int32_t>(frames);
    if (extensionVersion_ == kCompressedExtension && s.bitsPerSample == 24) {
        s.truncatedBits = s.channels == 1 ? truncatedMono_ : truncatedStereo_;
        if (s.truncatedBits < 0 || s.truncatedBits > 8) {
            s.frameCount = 0;
            return context.Refuse(where, std::to_string(s.truncatedBits) + " truncated bits");
        }
    }
    s.SanitiseLoop();
    return true;
}
