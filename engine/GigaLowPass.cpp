#include "engine/GigaLowPass.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kHighestCorner = 0.95;  // of Nyquist

// The frequency (radians per sample) where the response first falls 3 dB below its gain at
// DC. |H|^2 of a biquad is a ratio of quadratics in cos w, so this is a quadratic equation.
double Corner(const GigaLowPass::Coefficients& k)
{
    const double b0 = k.b0, b1 = k.b1, b2 = k.b2, a1 = k.a1, a2 = k.a2;
    const double dc = (b0 + b1 + b2) / (1.0 + a1 + a2);
    const double g = dc * dc / 2.0;
    const double qa = 4.0 * b0 * b2 - g * 4.0 * a2;
    const double qb = 2.0 * (b0 * b1 + b1 * b2) - g * 2.0 * (a1 + a1 * a2);
    const double qc =
        (b0 * b0 + b1 * b1 + b2 * b2 - 2.0 * b0 * b2) - g * (1.0 + a1 * a1 + a2 * a2 - 2.0 * a2);
    double x = -1.0;  // no crossing: the whole band passes
    if (std::fabs(qa) < 1e-300) {
        if (qb != 0.0) x = -qc / qb;
    } else if (const double d = qb * qb - 4.0 * qa * qc; d >= 0.0) {
        const double r = std::sqrt(d);
        // The crossing nearest DC is the largest cosine that is one.
        for (const double root : {(-qb + r) / (2.0 * qa), (-qb - r) / (2.0 * qa)})
            if (root <= 1.0 && root > x) x = root;
    }
    return std::acos(std::clamp(x, -1.0, 1.0));
}

// Moves the corner from `from` to `to` (radians per sample) and keeps the shape of the response:
// the low-pass to low-pass transformation z^-1 -> (z^-1 - alpha) / (1 - alpha z^-1).
GigaLowPass::Coefficients Moved(const GigaLowPass::Coefficients& k, double from, double to)
{
    const double alpha = std::sin((from - to) / 2.0) / std::sin((from + to) / 2.0);
    const double b0 = k.b0, b1 = k.b1, b2 = k.b2, a1 = k.a1, a2 = k.a2;
    const double aa = alpha * alpha;
    const double n0 = b0 - b1 * alpha + b2 * aa;
    const double n1 = -2.0 * alpha * b0 + b1 * (1.0 + aa) - 2.0 * alpha * b2;
    const double n2 = b0 * aa - b1 * alpha + b2;
    const double d0 = 1.0 - a1 * alpha + a2 * aa;
    const double d1 = -2.0 * alpha + a1 * (1.0 + aa) - 2.0 * alpha * a2;
    const double d2 = aa - a1 * alpha + a2;
    GigaLowPass::Coefficients moved;
    moved.b0 = static_cast<float>(n0 / d0);
    moved.b1 = static_cast<float>(n1 / d0);
    moved.b2 = static_cast<float>(n2 / d0);
    moved.a1 = static_cast<float>(d1 / d0);
    moved.a2 = static_cast<float>(d2 / d0);
    return moved;
}

}  // namespace

GigaLowPass::Coefficients GigaLowPass::Compute(float x, float sampleRate)
{
    const float a = std::min(0.55f * std::pow(x, 1.5f) + 0.005f, 0.6f);
    const float c = a < 0.5f ? std::pow(1.0f - 2.0f * a, 2.4f) : std::pow(2.0f * a - 1.0f, 2.4f);
    Coefficients k;
    k.a1 = 4.0f * a - 2.0f;
    k.a2 = 0.8284f * c + 0.1716f;
    k.b0 = std::pow(a, 1.8f);
    k.b1 = 2.0f * k.b0;
    k.b2 = k.b0;
    // The formula is made for 44.1 kHz; elsewhere its response is moved so that the corner
    // lies at the same frequency in Hz (just below Nyquist when it cannot).
    if (sampleRate == kReferenceRate || !(sampleRate > 0.0f)) return k;
    const double corner = Corner(k);
    const double wanted =
        std::min(corner * kReferenceRate / sampleRate, kHighestCorner * std::numbers::pi);
    return Moved(k, corner, wanted);
}

bool GigaLowPass::SetCutoff(float cutoff)
{
    if (!(cutoff >= kMinimumCutoff)) return false;
    c_ = Compute(cutoff, sampleRate_);
    return true;
}

void GigaLowPass::Process(float* samples, int frames, int channels)
{
    dsp::BiquadRun(c_, history_.data(), samples, frames, std::clamp(channels, 1, kMaxChannels));
}
