// WavReader where libsndfile is missing (the Windows build): a RIFF WAVE parser of its own,
// written apart from the host's writer so that the two cannot share a mistake. It reads
// integer PCM (8 to 32 bits) and 32-bit float, plain or as WAVE_FORMAT_EXTENSIBLE.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "fixtures/TempFolder.h"
#include "tests/support/WavReader.h"

namespace testsupport {
namespace {

std::uint32_t Le(const char* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(p[i]);
    return value;
}

}  // namespace

WavReader::WavReader(const std::string& path)
{
    const std::vector<char> file = ReadFileBytes(path);
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
        error_ = "not a RIFF WAVE file";
        return;
    }
    int format = 0, bits = 0, blockAlign = 0;
    const char* data = nullptr;
    std::size_t dataBytes = 0;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const char* chunk = file.data() + at;
        const std::size_t size = std::min<std::size_t>(Le(chunk + 4, 4), file.size() - at - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            format = static_cast<int>(Le(chunk + 8, 2));
            channels_ = static_cast<int>(Le(chunk + 10, 2));
            sampleRate_ = static_cast<int>(Le(chunk + 12, 4));
            blockAlign = static_cast<int>(Le(chunk + 20, 2));
            bits = static_cast<int>(Le(chunk + 22, 2));
            // WAVE_FORMAT_EXTENSIBLE: the sub-format GUID starts with the plain format tag.
            if (format == 0xFFFE && size >= 40) format = static_cast<int>(Le(chunk + 32, 2));
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            dataBytes = size;
        }
        at += 8 + size + (size & 1);
    }
    const bool isInt = format == 1 && bits >= 8 && bits <= 32 && bits % 8 == 0;
    isFloat_ = format == 3 && bits == 32;
    if (!data || channels_ <= 0 || (!isInt && !isFloat_) || blockAlign != channels_ * bits / 8) {
        error_ = "unsupported or damaged WAVE file";
        return;
    }
    frames_ = static_cast<std::int64_t>(dataBytes / static_cast<std::size_t>(blockAlign));
    samples_.resize(static_cast<std::size_t>(frames_ * channels_));
    const int bytes = bits / 8;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const std::uint32_t raw = Le(data + i * bytes, bytes);
        if (isFloat_) {
            std::memcpy(&samples_[i], &raw, sizeof raw);
        } else if (bytes == 1) {
            samples_[i] = (static_cast<int>(raw) - 128) / 128.0f;
        } else {
            // Sign-extend from the top bit of the sample's width.
            const auto value = static_cast<std::int32_t>(raw << (32 - bits)) >> (32 - bits);
            samples_[i] = static_cast<float>(value / std::ldexp(1.0, bits - 1));
        }
    }
    ok_ = true;
}

}  // namespace testsupport
