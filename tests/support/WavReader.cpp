#include "tests/support/WavReader.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace testsupport {

WavReader::WavReader(const std::string& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error_ = sf_strerror(nullptr);
        return;
    }
    channels_ = info.channels;
    sampleRate_ = info.samplerate;
    frames_ = info.frames;
    isFloat_ = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV &&
               (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT;
    samples_.resize(static_cast<std::size_t>(frames_ * channels_));
    ok_ = sf_readf_float(file, samples_.data(), frames_) == frames_;
    if (!ok_) error_ = "short read";
    sf_close(file);
}

float WavReader::Sample(std::int64_t frame, int channel) const
{
    return samples_.at(static_cast<std::size_t>(frame * channels_ + channel));
}

float WavReader::Peak(int channel, std::int64_t from, std::int64_t to) const
{
    float peak = 0.0f;
    for (std::int64_t f = std::max<std::int64_t>(from, 0); f < std::min(to, frames_); ++f)
        peak = std::max(peak, std::fabs(Sample(f, channel)));
    return peak;
}

}  // namespace testsupport
