#include "dsp/Mix.h"

#include <algorithm>

#include "dsp/Simd.h"

namespace dsp {

namespace {

template <int Channels>
void MixFast(const float* MARLET_DSP_RESTRICT x, const StepGains& g,
             float* MARLET_DSP_RESTRICT left, float* MARLET_DSP_RESTRICT right, int frames)
{
    const float* gain = g.gains;
    int len = std::clamp(g.firstFrames, 1, kStepFrames);
    for (int i = 0; i < frames; i += len, len = kStepFrames) {
        len = std::min(len, frames - i);
        const float gl = *gain * g.panLeft;
        const float gr = *gain * g.panRight;
        ++gain;
        int j = 0;
#if MARLET_DSP_SSE2
        const __m128 gl4 = _mm_set1_ps(gl), gr4 = _mm_set1_ps(gr);
        for (; j + 4 <= len; j += 4) {
            const int f = i + j;
            __m128 l, r;
            if constexpr (Channels == 1) {
                l = r = _mm_loadu_ps(x + f);
            } else {
                const __m128 lo = _mm_loadu_ps(x + 2 * f), hi = _mm_loadu_ps(x + 2 * f + 4);
                l = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0));
                r = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1));
            }
            _mm_storeu_ps(left + f, _mm_add_ps(_mm_loadu_ps(left + f), _mm_mul_ps(gl4, l)));
            _mm_storeu_ps(right + f, _mm_add_ps(_mm_loadu_ps(right + f), _mm_mul_ps(gr4, r)));
        }
#endif
        for (; j < len; ++j) {
            const int f = i + j;
            left[f] += gl * x[Channels * f];
            right[f] += gr * x[Channels * f + Channels - 1];
        }
    }
}

}  // namespace

void MixSteps(const float* x, int channels, const StepGains& g, float* left, float* right,
              int frames)
{
    if (frames <= 0) return;
    if (channels == 2)
        MixFast<2>(x, g, left, right, frames);
    else
        MixFast<1>(x, g, left, right, frames);
}

void MixStepsReference(const float* x, int channels, const StepGains& g, float* left, float* right,
                       int frames)
{
    int step = 0;
    int inStep = 0;
    int len = std::clamp(g.firstFrames, 1, kStepFrames);
    for (int i = 0; i < frames; ++i) {
        const float gain = g.gains[step];
        left[i] += gain * g.panLeft * x[i * channels];
        right[i] += gain * g.panRight * x[i * channels + channels - 1];
        if (++inStep == len) {
            ++step;
            inStep = 0;
            len = kStepFrames;
        }
    }
}

void ApplyGainRamp(float* MARLET_DSP_RESTRICT x, int channels, int frames, float from, float to)
{
    if (frames <= 0) return;
    const float delta = (to - from) / static_cast<float>(frames);
    int j = 0;
#if MARLET_DSP_SSE2
    const __m128 from4 = _mm_set1_ps(from), delta4 = _mm_set1_ps(delta);
    if (channels == 1) {
        for (; j + 4 <= frames; j += 4) {
            const __m128 index = _mm_cvtepi32_ps(_mm_setr_epi32(j, j + 1, j + 2, j + 3));
            const __m128 gain = _mm_add_ps(from4, _mm_mul_ps(index, delta4));
            _mm_storeu_ps(x + j, _mm_mul_ps(_mm_loadu_ps(x + j), gain));
        }
    } else {
        for (; j + 2 <= frames; j += 2) {
            const __m128 index = _mm_cvtepi32_ps(_mm_setr_epi32(j, j, j + 1, j + 1));
            const __m128 gain = _mm_add_ps(from4, _mm_mul_ps(index, delta4));
            _mm_storeu_ps(x + 2 * j, _mm_mul_ps(_mm_loadu_ps(x + 2 * j), gain));
        }
    }
#endif
    for (; j < frames; ++j) {
        const float gain = from + static_cast<float>(j) * delta;
        for (int c = 0; c < channels; ++c) x[j * channels + c] *= gain;
    }
}

void ApplyGainRampReference(float* x, int channels, int frames, float from, float to)
{
    if (frames <= 0) return;
    const float delta = (to - from) / static_cast<float>(frames);
    for (int j = 0; j < frames; ++j)
        for (int c = 0; c < channels; ++c)
            x[j * channels + c] *= from + static_cast<float>(j) * delta;
}

}  // namespace dsp
