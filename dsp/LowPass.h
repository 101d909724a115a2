// A two-pole filter (biquad, direct form I) over a run of frames, one or two channels
// interleaved. The fast version keeps both channels of a stereo run in one SSE2 register; each
// channel's arithmetic is the reference's, in the same order, so the two agree bit for bit.
#pragma once

namespace dsp {

struct BiquadCoefficients {
    float a1 = 0.0f, a2 = 0.0f, b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
};

// One channel's memory: x[n-1], x[n-2], y[n-1], y[n-2].
struct BiquadState {
    float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
};

// y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, evaluated left to right. Every kernel that runs the
// filter (here and in the voice kernel) uses exactly this order.
inline float BiquadTick(const BiquadCoefficients& k, BiquadState& s, float x)
{
    const float y = k.b0 * x + k.b1 * s.x1 + k.b2 * s.x2 - k.a1 * s.y1 - k.a2 * s.y2;
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
}

// Values this small only slow the arithmetic down; the filter's memory forgets them at the end
// of every run.
void BiquadForget(BiquadState& s);

// Filters `frames` interleaved frames of `channels` (1 or 2) in place; `state` has one entry per
// channel. Ends with BiquadForget on each channel's state.
void BiquadRun(const BiquadCoefficients& k, BiquadState* state, float* samples, int frames,
               int channels);
void BiquadRunReference(const BiquadCoefficients& k, BiquadState* state, float* samples, int frames,
                        int channels);

}  // namespace dsp
