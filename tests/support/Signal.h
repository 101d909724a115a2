// Measurements of rendered sound for the tests: pitch from zero crossings, peak and RMS level.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

// Frequency from the rising zero crossings, placed between samples by linear interpolation.
inline double Frequency(const std::vector<float>& x, double rate = 44100.0)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double at = (i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * rate / (last - first);
}

inline double Semitones(double ratio)
{
    return 12.0 * std::log2(ratio);
}

inline float Peak(const std::vector<float>& x, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    float peak = 0.0f;
    for (std::size_t i = from; i < std::min(to, x.size()); ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

inline double Rms(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += double(x[i]) * x[i];
    return std::sqrt(sum / double(to - from));
}

}  // namespace testsupport
