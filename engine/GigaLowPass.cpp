#include "engine/GigaLowPass.h"

#include <algorithm>
#include <cmath>

GigaLowPass::Coefficients GigaLowPass::Compute(float x)
{
    const float a = std::min(0.55f * std::pow(x, 1.5f) + 0.005f, 0.6f);
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
    c_ = Compute(cutoff);
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
        h = {x1, x2, y1, y2};
    }
}
