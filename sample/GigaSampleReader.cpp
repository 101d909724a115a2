#include "sample/GigaSampleReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "riff/InputStream.h"
#include "sample/GigaSampleFormat.h"

namespace {

constexpr int kStartBytes16 = 4;   // two 16-bit values
constexpr int kStartBytes24 = 12;  // four 24-bit values

std::int32_t S8(const std::byte* p)
{
    return static_cast<std::int8_t>(p[0]);
}

std::int32_t S16(const std::byte* p)
{
    return static_cast<std::int16_t>(std::to_integer<std::uint16_t>(p[0]) |
                                     (std::to_integer<std::uint16_t>(p[1]) << 8));
}

std::int32_t S24(const std::byte* p)
{
    const std::uint32_t u = std::to_integer<std::uint32_t>(p[0]) |
                            (std::to_integer<std::uint32_t>(p[1]) << 8) |
                            (std::to_integer<std::uint32_t>(p[2]) << 16);
    return static_cast<std::int32_t>(u ^ 0x800000u) - 0x800000;
}

std::int32_t SignExtend12(std::uint32_t v)
{
    return static_cast<std::int32_t>((v & 0xFFF) ^ 0x800) - 0x800;
}

bool ModeFits(int bits, int mode)
{
    return bits == 16 ? (mode == 0 || mode == 1) : (mode >= 2 && mode <= 5);
}

int StartBytes(int bits, int mode)
{
    if (bits == 16) return mode == 1 ? kStartBytes16 : 0;
    return mode > 2 ? kStartBytes24 : 0;
}

std::int64_t DataBytes(int bits, std::int64_t blockFrames, int mode)
{
    if (bits == 16) return mode == 1 ? blockFrames : 2 * blockFrames;
    return 3 * blockFrames - (mode > 2 ? (blockFrames / 2) * (mode - 1) : 0);
}

}  // namespace

GigaSampleReader::GigaSampleReader()
    : block_(std::make_unique<std::array<std::byte, kBlockBytes>>())
{
}

GigaSampleReader::~GigaSampleReader() = default;

bool GigaSampleReader::Open(const GigaSampleFormat& sample, InputStream& input, std::int64_t offset)
{
    input_ = &input;
    channel_ = {};
    framesLeft_ = 0;
    blockFrame_ = 0;
    channels_ = sample.channels;
    bits_ = sample.bitsPerSample;
    truncatedBits_ = sample.truncatedBits;
    blockFrames_ = sample.blockFrames;
    dataEnd_ = std::int64_t {sample.dataOffset} + sample.dataSize;
    const bool decodable = (channels_ == 1 || channels_ == 2) && (bits_ == 16 || bits_ == 24) &&
                           blockFrames_ >= 0 && truncatedBits_ >= 0 && truncatedBits_ <= 8;
    failed_ = !decodable || offset < sample.dataOffset || offset > dataEnd_;
    if (failed_) {
        input_ = nullptr;
        return false;
    }
    scale_ = truncatedBits_ > 0 ? 1.0f / (std::ldexp(1.0f, 24 - truncatedBits_) * 0.5f - 1.0f)
                                : kDefaultScale;
    input.Seek(offset);
    return true;
}

std::int64_t GigaSampleReader::Position() const
{
    return input_ != nullptr ? input_->Tell() : 0;
}

int GigaSampleReader::ReadShorts(std::span<std::int16_t> dst, int frames)
{
    return Read(dst, frames);
}

int GigaSampleReader::ReadFloats(std::span<float> dst, int frames)
{
    return Read(dst, frames);
}

template <typename Out>
Out GigaSampleReader::Convert(std::int32_t value) const
{
    if constexpr (std::is_same_v<Out, float>) {
        if (bits_ == 16) return static_cast<float>(value) * kShortScale;
        return static_cast<float>(value) * (blockFrames_ > 0 ? scale_ : kDefaultScale);
    } else {
        if (bits_ == 16) return static_cast<std::int16_t>(value);
        // Plain 24-bit data drop their low byte; compressed data were stored with
        // truncatedBits fewer bits, so fewer are dropped.
        const int shift = blockFrames_ > 0 ? 8 - truncatedBits_ : 8;
        return static_cast<std::int16_t>(value >> shift);
    }
}

template <typename Out>
int GigaSampleReader::Read(std::span<Out> dst, int frames)
{
    if (input_ == nullptr || failed_ || frames <= 0) return 0;
    frames = static_cast<int>(
        std::min<std::size_t>(static_cast<std::size_t>(frames), dst.size() / channels_));
    if (blockFrames_ == 0) return ReadPlain(dst.data(), frames);

    int done = 0;
    while (done < frames) {
        if (framesLeft_ == 0 && !ReadBlock()) break;
        const int n = std::min(framesLeft_, frames - done);
        DecodeBlockFrames(dst.data() + static_cast<std::size_t>(done) * channels_, n);
        framesLeft_ -= n;
        blockFrame_ += n;
        done += n;
    }
    return done;
}

template <typename Out>
int GigaSampleReader::ReadPlain(Out* dst, int frames)
{
    const int bytesPerValue = bits_ / 8;
    const std::int64_t frameBytes = std::int64_t {channels_} * bytesPerValue;
    const std::int64_t available =
        std::max<std::int64_t>(dataEnd_ - input_->Tell(), 0) / frameBytes;
    frames = static_cast<int>(std::min<std::int64_t>(frames, available));

    if constexpr (std::is_same_v<Out, std::int16_t>) {
        if (bits_ == 16 && std::endian::native == std::endian::little) {
            const std::int64_t got = input_->Read(dst, frames * frameBytes);
            return static_cast<int>(std::max<std::int64_t>(got, 0) / frameBytes);
        }
    }
    // Everything else goes through the block buffer in pieces.
    const int pieceFrames = static_cast<int>(kBlockBytes / frameBytes);
    int done = 0;
    while (done < frames) {
        const int n = std::min(pieceFrames, frames - done);
        const std::int64_t got =
            std::max<std::int64_t>(input_->Read(block_->data(), n * frameBytes), 0);
        const int whole = static_cast<int>(got / frameBytes);
        const std::byte* p = block_->data();
        Out* out = dst + static_cast<std::size_t>(done) * channels_;
        for (int v = 0; v < whole * channels_; ++v, p += bytesPerValue) {
            out[v] = Convert<Out>(bits_ == 16 ? S16(p) : S24(p));
        }
        done += whole;
        if (whole < n) break;
    }
    return done;
}

bool GigaSampleReader::ReadData(std::byte* dst, std::int64_t n)
{
    if (n > dataEnd_ - input_->Tell()) return false;
    return input_->Read(dst, n) == n;
}

bool GigaSampleReader::ReadBlock()
{
    std::byte* const block = block_->data();
    if (!ReadData(block, channels_)) return false;
    std::int64_t size = channels_;
    std::array<std::int64_t, kMaxChannels> dataBytes {};
    for (int c = 0; c < channels_; ++c) {
        const int mode = std::to_integer<int>(block[c]);
        if (!ModeFits(bits_, mode)) {
            failed_ = true;
            return false;
        }
        channel_[c].mode = mode;
        dataBytes[c] = DataBytes(bits_, blockFrames_, mode);
        size += StartBytes(bits_, mode) + dataBytes[c];
    }
    if (size > static_cast<std::int64_t>(kBlockBytes)) {
        failed_ = true;
        return false;
    }
    if (!ReadData(block + channels_, size - channels_)) return false;

    std::size_t p = static_cast<std::size_t>(channels_);
    for (int c = 0; c < channels_; ++c) {
        Channel& ch = channel_[c];
        if (bits_ == 16 && ch.mode == 1) {
            ch.x = static_cast<std::uint32_t>(S16(block + p));
            ch.y = static_cast<std::uint32_t>(S16(block + p + 2));
        } else if (bits_ == 24 && ch.mode > 2) {
            const std::int32_t first = S24(block + p);
            ch.w = static_cast<std::uint32_t>(first);
            ch.x =
                static_cast<std::uint32_t>(first) - static_cast<std::uint32_t>(S24(block + p + 3));
            ch.y = static_cast<std::uint32_t>(S24(block + p + 6));
            ch.z = static_cast<std::uint32_t>(S24(block + p + 9));
        }
        p += static_cast<std::size_t>(StartBytes(bits_, ch.mode));
    }
    // 16-bit frames are interleaved (one cursor); 24-bit channels follow one another.
    channel_[0].cursor = p;
    if (channels_ == 2) channel_[1].cursor = p + static_cast<std::size_t>(dataBytes[0]);
    framesLeft_ = blockFrames_;
    blockFrame_ = 0;
    return true;
}

template <typename Out>
void GigaSampleReader::DecodeBlockFrames(Out* dst, int frames)
{
    const std::byte* const block = block_->data();
    if (bits_ == 16) {
        std::size_t& cursor = channel_[0].cursor;
        for (int f = 0; f < frames; ++f) {
            for (int c = 0; c < channels_; ++c) {
                Channel& ch = channel_[c];
                std::int32_t v = 0;
                if (ch.mode == 0) {
                    v = S16(block + cursor);
                    cursor += 2;
                } else {
                    ch.y -= static_cast<std::uint32_t>(S8(block + cursor));
                    ch.x -= ch.y;
                    cursor += 1;
                    v = static_cast<std::int16_t>(ch.x);
                }
                dst[static_cast<std::size_t>(f) * channels_ + c] = Convert<Out>(v);
            }
        }
        return;
    }
    for (int c = 0; c < channels_; ++c) {
        Channel& ch = channel_[c];
        for (int f = 0; f < frames; ++f) {
            std::int32_t d = 0;
            switch (ch.mode) {
                case 2:
                    ch.w = static_cast<std::uint32_t>(S24(block + ch.cursor));
                    ch.cursor += 3;
                    break;
                case 3:
                    d = S16(block + ch.cursor);
                    ch.cursor += 2;
                    break;
                case 4:
                    // Two 12-bit deltas share 3 bytes; an odd frame uses the half kept back.
                    if ((blockFrame_ + f) % 2 == 0) {
                        const std::byte* q = block + ch.cursor;
                        const auto b0 = std::to_integer<std::uint32_t>(q[0]);
                        const auto b1 = std::to_integer<std::uint32_t>(q[1]);
                        const auto b2 = std::to_integer<std::uint32_t>(q[2]);
                        d = SignExtend12(b0 | ((b1 & 0x0F) << 8));
                        ch.pending = SignExtend12((b1 >> 4) | (b2 << 4));
                        ch.cursor += 3;
                    } else {
                        d = ch.pending;
                    }
                    break;
                default:
                    d = S8(block + ch.cursor);
                    ch.cursor += 1;
                    break;
            }
            if (ch.mode != 2) {
                ch.z -= static_cast<std::uint32_t>(d);
                ch.y -= ch.z;
                ch.x = 0u - (ch.x + ch.y);
                ch.w += ch.x;
            }
            dst[static_cast<std::size_t>(f) * channels_ + c] =
                Convert<Out>(static_cast<std::int32_t>(ch.w));
        }
    }
}
