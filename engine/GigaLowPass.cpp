#include "engine/GigaLowPass.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Values this small only slow the arithmetic down; the filter's memory forgets them.
constexpr float kForgetBelow = 1e-15f;

float Forget(float v)
{
    return std::fabs(v) < kForgetBelow ? 0.0f : v;
}

// The coefficient formula follows a Butterworth low-pass through the bilinear transform, whose
// first feedback coefficient is 2 (K^2 - 1) / (1 + sqrt2 K + K^2) with K = tan(pi fc / fs); it
// equals 4a - 2. So `a` fixes K at 44.1 kHz, K fixes the corner in Hz, and the corner gives the
// `a` that puts it at the same frequency at another rate.
float AtRate(float a, float sampleRate)
{
    constexpr double kSqrt2 = 1.4142135623730951;
    constexpr double kHighest = 0.9;  // keeps the poles well inside the unit circle
    const double a1 = 4.0 * a - 2.0;
    const double k = (kSqrt2 * a1 + std::sqrt(16.0 - 2.0 * a1 * a1)) / (2.0 * (2.0 - a1));
    const double angle = std::atan(k) * GigaLowPass::kReferenceRate / sampleRate;
    const double kAt = std::tan(std::min(angle, 0.49 * std::numbers::pi));
    const double a1At = 2.0 * (kAt * kAt - 1.0) / (1.0 + kSqrt2 * kAt + kAt * kAt);
    return static_cast<float>(std::clamp((a1At + 2.0) / 4.0, 0.0, kHighest));
}

}  // namespace

GigaLowPass::Coefficients GigaLowPass::Compute(float x, float sampleRate)
{
    float a = std::min(0.55f * std::pow(x, 1.5f) + 0.005f, 0.6f);
    if (sampleRate != kReferenceRate && sampleRate > 0.0f) a = AtRate(a, sampleRate);
    const float c = a < 0.5f ? std::pow(1.0f - 2.0f * a, 2.4f) : std::pow(2.0f * a - 1.0f, 2.4f);
    Coefficients k;
    k.a1 = 4.0f * a - 2.0f;
    k.a2 = 0.8284f * c + 0.1716f;
    k.b0 = std::pow(a, 1.8f);
    k.b1 = 2.0f * k.b0;
    k.b2 = k.b0;
    return k;
}

bool GigaLowPass::SetCutoff(float cutoff)
{
    if (!(cutoff >= kMinimumCutoff)) return false;
    c_ = Compute(cutoff, sampleRate_);
    return true;
}

void GigaLowPass::Process(float* samples, int frames, int channels)
{
    channels = std::clamp(channels, 1, kMaxChannels);
    const Coefficients k = c_;
    for (int ch = 0; ch < channels; ++ch) {
        auto& h = history_[ch];
        float x1 = h[0], x2 = h[1], y1 = h[2], y2 = h[3];
        float* s = samples + ch;
        for (int i = 0; i < frames; ++i, s += channels) {
            const float x = *s;
            const float y = k.b0 * x + k.b1 * x1 + k.b2 * x2 - k.a1 * y1 - k.a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            *s = y;
        }
        h = {Forget(x1), Forget(x2), Forget(y1), Forget(y2)};
    }
}
