#include "sample/GigaSampleReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/DecodeBytes.h"
#include "dsp/DecodeDelta.h"
#include "riff/InputStream.h"
#include "sample/GigaSampleFormat.h"

namespace {

constexpr int kStartBytes16 = 4;   // two 16-bit values
constexpr int kStartBytes24 = 12;  // four 24-bit values

using dsp::decode::S16;
using dsp::decode::S24;

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

GigaSampleReader::GigaSampleReader(std::size_t readAheadBytes)
    : capacity_(std::max(kBlockBytes, readAheadBytes)),
      readsAhead_(readAheadBytes > 0),
      buffer_(std::make_unique<std::byte[]>(capacity_))
{
}

GigaSampleReader::~GigaSampleReader() = default;

bool GigaSampleReader::Open(const GigaSampleFormat& sample, InputStream& input, std::int64_t offset)
{
    input_ = &input;
    begin_ = end_ = 0;
    block_ = nullptr;
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
    return input_ != nullptr ? input_->Tell() - Staged() : 0;
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
auto GigaSampleReader::Sink(Out* dst) const
{
    if constexpr (std::is_same_v<Out, float>) {
        if (bits_ == 16) return dsp::FloatSink {dst, channels_, kShortScale};
        return dsp::FloatSink {dst, channels_, blockFrames_ > 0 ? scale_ : kDefaultScale};
    } else {
        if (bits_ == 16) return dsp::ShortSink {dst, channels_, 0};
        // Plain 24-bit data drop their low byte; compressed data were stored with
        // truncatedBits fewer bits, so fewer are dropped.
        return dsp::ShortSink {dst, channels_, blockFrames_ > 0 ? 8 - truncatedBits_ : 8};
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
        if (framesLeft_ == 0 && !ReadBlock(frames - done)) break;
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
    const std::int64_t available = std::max<std::int64_t>(dataEnd_ - Position(), 0) / frameBytes;
    frames = static_cast<int>(std::min<std::int64_t>(frames, available));

    if constexpr (std::is_same_v<Out, std::int16_t>) {
        if (bits_ == 16 && std::endian::native == std::endian::little && Staged() == 0) {
            const std::int64_t got = input_->Read(dst, frames * frameBytes);
            return static_cast<int>(std::max<std::int64_t>(got, 0) / frameBytes);
        }
    }
    // Everything else is decoded from the buffer in pieces.
    const int pieceFrames = static_cast<int>(static_cast<std::int64_t>(capacity_) / frameBytes);
    int done = 0;
    while (done < frames) {
        const int n = std::min(pieceFrames, frames - done);
        const int whole =
            static_cast<int>(Stage(n * frameBytes, (frames - done) * frameBytes) / frameBytes);
        dsp::DecodePlain(bits_, StagedBytes(), static_cast<std::size_t>(whole) * channels_,
                         Sink(dst + static_cast<std::size_t>(done) * channels_));
        Consume(whole * frameBytes);
        done += whole;
        if (whole < n) break;
    }
    return done;
}

std::int64_t GigaSampleReader::Stage(std::int64_t n, std::int64_t wanted)
{
    const std::int64_t staged = Staged();
    if (staged >= n) return n;
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, static_cast<std::size_t>(staged));
        begin_ = 0;
        end_ = static_cast<std::size_t>(staged);
    }
    // Exactly what is missing, or reading ahead, what the caller is going to want as far as it
    // fits; never past the data.
    std::int64_t read = readsAhead_ ? std::max(n, wanted) - staged : n - staged;
    read =
        std::min({read, static_cast<std::int64_t>(capacity_) - staged, dataEnd_ - input_->Tell()});
    if (read > 0) {
        end_ += static_cast<std::size_t>(
            std::max<std::int64_t>(input_->Read(buffer_.get() + end_, read), 0));
    }
    return std::min(n, Staged());
}

void GigaSampleReader::Consume(std::int64_t n)
{
    begin_ += static_cast<std::size_t>(n);
}

bool GigaSampleReader::ReadBlock(int framesWanted)
{
    // Reading ahead: the blocks this read wants, each guessed as large as the last one.
    const std::int64_t blocksWanted =
        (std::int64_t {framesWanted} + blockFrames_ - 1) / blockFrames_;
    const std::int64_t wanted =
        blocksWanted * (lastBlockBytes_ > 0 ? lastBlockBytes_ : kBlockBytes);
    if (Stage(channels_, wanted) < channels_) return false;
    const std::byte* const modes = StagedBytes();
    std::int64_t size = channels_;
    std::array<std::int64_t, kMaxChannels> dataBytes {};
    for (int c = 0; c < channels_; ++c) {
        const int mode = std::to_integer<int>(modes[c]);
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
    if (Stage(size, wanted) < size) return false;
    // Staging may have moved the bytes: the block is taken from where they are now, and stays
    // there until the next block is staged.
    const std::byte* const block = StagedBytes();
    Consume(size);
    lastBlockBytes_ = size;
    block_ = block;

    std::size_t p = static_cast<std::size_t>(channels_);
    for (int c = 0; c < channels_; ++c) {
        Channel& ch = channel_[c];
        if (bits_ == 16 && ch.mode == 1) {
            ch.state.x = static_cast<std::uint32_t>(S16(block + p));
            ch.state.y = static_cast<std::uint32_t>(S16(block + p + 2));
        } else if (bits_ == 24 && ch.mode > 2) {
            const std::int32_t first = S24(block + p);
            ch.state.w = static_cast<std::uint32_t>(first);
            ch.state.x =
                static_cast<std::uint32_t>(first) - static_cast<std::uint32_t>(S24(block + p + 3));
            ch.state.y = static_cast<std::uint32_t>(S24(block + p + 6));
            ch.state.z = static_cast<std::uint32_t>(S24(block + p + 9));
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
    const std::byte* const block = block_;
    if (bits_ == 16) {
        std::array<int, kMaxChannels> modes {channel_[0].mode, channel_[1].mode};
        std::array<dsp::DeltaState, kMaxChannels> states {channel_[0].state, channel_[1].state};
        channel_[0].cursor += dsp::DecodeDelta16(modes.data(), states.data(), channels_,
                                                 block + channel_[0].cursor, frames, Sink(dst));
        for (int c = 0; c < channels_; ++c) channel_[c].state = states[c];
        return;
    }
    for (int c = 0; c < channels_; ++c) {
        Channel& ch = channel_[c];
        ch.cursor += dsp::DecodeDelta24(ch.mode, ch.state, block + ch.cursor, frames,
                                        blockFrame_ % 2 != 0, Sink(dst + c));
    }
}
