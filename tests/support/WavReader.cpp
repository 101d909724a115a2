#include "tests/support/WavReader.h"

#include <algorithm>
#include <cmath>

namespace testsupport {

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
