// Reads a sound file back for tests that check what was rendered: through libsndfile on Linux,
// with a parser of its own on Windows (WavReaderRiff.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class WavReader {
public:
    explicit WavReader(const std::string& path);

    bool Ok() const { return ok_; }
    const std::string& Error() const { return error_; }
    int Channels() const { return channels_; }
    int SampleRate() const { return sampleRate_; }
    std::int64_t Frames() const { return frames_; }
    bool IsFloat() const { return isFloat_; }

    float Sample(std::int64_t frame, int channel) const;
    // Largest absolute sample of a channel over frames [from, to).
    float Peak(int channel, std::int64_t from, std::int64_t to) const;
    float Peak(int channel) const { return Peak(channel, 0, frames_); }

private:
    bool ok_ = false;
    std::string error_;
    int channels_ = 0;
    int sampleRate_ = 0;
    std::int64_t frames_ = 0;
    bool isFloat_ = false;
    std::vector<float> samples_;  // interleaved
};

}  // namespace testsupport
