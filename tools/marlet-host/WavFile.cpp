#include "tools/marlet-host/WavFile.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace {

// WAVE_FORMAT_IEEE_FLOAT for any number of channels, as libsndfile writes a float WAV: readers
// take the extensible form for a different file type.
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint32_t kFmtSize = 18;
constexpr int kMaxChannels = 1024;

class LittleEndian {
public:
    explicit LittleEndian(std::vector<std::uint8_t>& out) : out_(out) {}
    LittleEndian& Tag(const char (&tag)[5])
    {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(tag[i]));
        return *this;
    }
    LittleEndian& U16(std::uint32_t v) { return Bytes(v, 2); }
    LittleEndian& U32(std::uint32_t v) { return Bytes(v, 4); }

private:
    LittleEndian& Bytes(std::uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    std::vector<std::uint8_t>& out_;
};

}  // namespace

WavFile::WavFile(const std::string& path, int channels, int sampleRate)
    : path_(path), channels_(channels), sampleRate_(sampleRate)
{
    if (channels < 1 || channels > kMaxChannels || sampleRate < 1)
        throw std::runtime_error(path + ": cannot write a WAV file with " +
                                 std::to_string(channels) + " channels at " +
                                 std::to_string(sampleRate) + " Hz");
    file_ = platform::CreateFileWrite(path);
    if (file_ == platform::kNoFile) throw std::runtime_error(path + ": cannot create the file");
    // A placeholder header, rewritten with the sizes by Close.
    const std::vector<std::uint8_t> header = Header();
    headerBytes_ = header.size();
    const auto size = static_cast<std::int64_t>(header.size());
    if (platform::WriteFileAt(file_, 0, header.data(), size) != size) {
        platform::CloseFile(file_);
        file_ = platform::kNoFile;
        throw std::runtime_error(path + ": write failed");
    }
}

WavFile::~WavFile()
{
    try {
        Close();
    } catch (const std::exception&) {
        // A destructor cannot report; Close called by the owner does.
    }
}

std::vector<std::uint8_t> WavFile::Header() const
{
    const auto blockAlign = static_cast<std::uint32_t>(channels_) * sizeof(float);
    const auto data = static_cast<std::uint32_t>(dataBytes_);
    std::vector<std::uint8_t> header;
    LittleEndian out(header);
    out.Tag("RIFF").U32(4 + (8 + kFmtSize) + (8 + 4) + (8 + data)).Tag("WAVE");
    out.Tag("fmt ").U32(kFmtSize).U16(kFormatFloat);
    out.U16(static_cast<std::uint32_t>(channels_)).U32(static_cast<std::uint32_t>(sampleRate_));
    out.U32(static_cast<std::uint32_t>(sampleRate_) * blockAlign).U16(blockAlign).U16(32);
    out.U16(0);  // no extra format bytes
    out.Tag("fact").U32(4).U32(data / blockAlign);
    out.Tag("data").U32(data);
    return header;
}

void WavFile::Write(std::span<const float* const> channels, std::int32_t frames)
{
    if (file_ == platform::kNoFile) throw std::logic_error("WavFile::Write after Close");
    if (channels.size() != static_cast<std::size_t>(channels_))
        throw std::logic_error("WavFile::Write with the wrong number of channels");
    if (frames <= 0) return;
    const std::size_t bytes = static_cast<std::size_t>(frames) * channels.size() * sizeof(float);
    if (dataBytes_ + bytes > kMaxDataBytes)
        throw std::runtime_error(path_ + ": too large for a WAV file");
    block_.resize(bytes);
    std::uint8_t* out = block_.data();
    for (std::int32_t f = 0; f < frames; ++f) {
        for (const float* channel : channels) {
            const auto bits = std::bit_cast<std::uint32_t>(channel[f]);
            for (int i = 0; i < 4; ++i) *out++ = static_cast<std::uint8_t>(bits >> (8 * i));
        }
    }
    const auto offset = static_cast<std::int64_t>(headerBytes_ + dataBytes_);
    const auto size = static_cast<std::int64_t>(bytes);
    if (platform::WriteFileAt(file_, offset, block_.data(), size) != size)
        throw std::runtime_error(path_ + ": write failed");
    dataBytes_ += bytes;
}

void WavFile::Close()
{
    if (file_ == platform::kNoFile) return;
    const platform::FileHandle file = file_;
    file_ = platform::kNoFile;
    const std::vector<std::uint8_t> header = Header();
    const auto size = static_cast<std::int64_t>(header.size());
    const bool ok = platform::WriteFileAt(file, 0, header.data(), size) == size;
    platform::CloseFile(file);
    if (!ok) throw std::runtime_error(path_ + ": cannot finish the file");
}
