#include "dsp/LowPass.h"

#include <cmath>

#include "dsp/BiquadLanes.h"
#include "dsp/Simd.h"

namespace dsp {

namespace {

constexpr float kForgetBelow = 1e-15f;

float Forget(float v)
{
    return std::fabs(v) < kForgetBelow ? 0.0f : v;
}

void RunMono(const BiquadCoefficients& k, BiquadState& state, float* MARLET_DSP_RESTRICT x,
             int frames)
{
    BiquadState s = state;
    for (int i = 0; i < frames; ++i) x[i] = BiquadTick(k, s, x[i]);
    state = s;
}

void RunStereo(const BiquadCoefficients& k, BiquadState* state, float* MARLET_DSP_RESTRICT x,
               int frames)
{
#if MARLET_DSP_SSE2
    // Lanes 0 and 1: left and right (lanes 2 and 3 carry copies and are ignored).
    const __m128 b0 = _mm_set1_ps(k.b0), b1 = _mm_set1_ps(k.b1), b2 = _mm_set1_ps(k.b2);
    const __m128 a1 = _mm_set1_ps(k.a1), a2 = _mm_set1_ps(k.a2);
    __m128 x1 = _mm_setr_ps(state[0].x1, state[1].x1, 0.0f, 0.0f);
    __m128 x2 = _mm_setr_ps(state[0].x2, state[1].x2, 0.0f, 0.0f);
    __m128 y1 = _mm_setr_ps(state[0].y1, state[1].y1, 0.0f, 0.0f);
    __m128 y2 = _mm_setr_ps(state[0].y2, state[1].y2, 0.0f, 0.0f);
    for (int i = 0; i < frames; ++i) {
        float* p = x + 2 * i;
        const __m128 in = LoadPair(p);
        const __m128 y = BiquadStep(in, b0, b1, b2, a1, a2, x1, x2, y1, y2);
        StorePair(p, y);
    }
    alignas(16) float v[4][4];
    _mm_store_ps(v[0], x1);
    _mm_store_ps(v[1], x2);
    _mm_store_ps(v[2], y1);
    _mm_store_ps(v[3], y2);
    for (int c = 0; c < 2; ++c) state[c] = {v[0][c], v[1][c], v[2][c], v[3][c]};
#else
    BiquadState l = state[0], r = state[1];
    for (int i = 0; i < frames; ++i) {
        x[2 * i] = BiquadTick(k, l, x[2 * i]);
        x[2 * i + 1] = BiquadTick(k, r, x[2 * i + 1]);
    }
    state[0] = l;
    state[1] = r;
#endif
}

}  // namespace

void BiquadForget(BiquadState& s)
{
    s = {Forget(s.x1), Forget(s.x2), Forget(s.y1), Forget(s.y2)};
}

void BiquadRun(const BiquadCoefficients& k, BiquadState* state, float* samples, int frames,
               int channels)
{
    if (channels == 2)
        RunStereo(k, state, samples, frames);
    else
        RunMono(k, state[0], samples, frames);
    for (int c = 0; c < (channels == 2 ? 2 : 1); ++c) BiquadForget(state[c]);
}

void BiquadRunReference(const BiquadCoefficients& k, BiquadState* state, float* samples, int frames,
                        int channels)
{
    for (int c = 0; c < channels; ++c) {
        BiquadState& s = state[c];
        float* p = samples + c;
        for (int i = 0; i < frames; ++i, p += channels) {
            const float x = *p;
            const float y = k.b0 * x + k.b1 * s.x1 + k.b2 * s.x2 - k.a1 * s.y1 - k.a2 * s.y2;
            s.x2 = s.x1;
            s.x1 = x;
            s.y2 = s.y1;
            s.y1 = y;
            *p = y;
        }
        BiquadForget(s);
    }
}

}  // namespace dsp
