#include "dsp/VoiceRun.h"

#include <algorithm>
#include <vector>

#include "dsp/BiquadLanes.h"
#include "dsp/Interpolate.h"
#include "dsp/Simd.h"

namespace dsp {

namespace {

enum FilterMode { kNoFilter, kOpenFilter, kClosedFilter };

// Walks the run: `quad(f, gl, gr)` makes and mixes frames f..f+3, `single(f, gl, gr)` frame f,
// with the gains of their step. A whole step is two quads and no loop of its own; only a
// partial first or last step loops over its frames.
template <class Quad, class Single>
MARLET_DSP_INLINE void ForEachStep(const VoiceRun& r, Quad&& quad, Single&& single)
{
    const float* gain = r.gains.gains;
    const float panLeft = r.gains.panLeft, panRight = r.gains.panRight;
    const int n = r.frames;
    int f = 0;
    const auto part = [&](int end) MARLET_DSP_LAMBDA_INLINE {
        const float g = *gain++;
        const float gl = g * panLeft, gr = g * panRight;
        for (; f + 4 <= end; f += 4) quad(f, gl, gr);
        for (; f < end; ++f) single(f, gl, gr);
    };
    const int first = std::clamp(r.gains.firstFrames, 1, kStepFrames);
    if (first < kStepFrames) part(std::min(first, n));
    for (; f + kStepFrames <= n; f += kStepFrames) {
        const float g = *gain++;
        const float gl = g * panLeft, gr = g * panRight;
        quad(f, gl, gr);
        quad(f + 4, gl, gr);
    }
    if (f < n) part(n);
}

#if MARLET_DSP_SSE2

int Low(Position p)
{
    return static_cast<int>(p & 0xffffffffu);
}

// The fractions of four successive positions need only their low words: 32-bit lanes.
__m128i StepFractions(Position step)
{
    return _mm_setr_epi32(0, Low(step), Low(2 * step), Low(3 * step));
}

// Four fractions as Fraction() makes them, each rounded once to a float: the two 16-bit halves
// convert exactly and their sum rounds once.
MARLET_DSP_INLINE __m128 Weights(Position p, __m128i stepFractions)
{
    const __m128i fraction = _mm_add_epi32(_mm_set1_epi32(Low(p)), stepFractions);
    const __m128 high =
        _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(fraction, 16)), _mm_set1_ps(65536.0f));
    const __m128 low = _mm_cvtepi32_ps(_mm_and_si128(fraction, _mm_set1_epi32(0xffff)));
    return _mm_mul_ps(_mm_add_ps(high, low), _mm_set1_ps(0x1p-32f));
}

MARLET_DSP_INLINE void MixQuad(float* left, float* right, __m128 l, __m128 r, float gl, float gr)
{
    _mm_storeu_ps(left, _mm_add_ps(_mm_loadu_ps(left), _mm_mul_ps(_mm_set1_ps(gl), l)));
    _mm_storeu_ps(right, _mm_add_ps(_mm_loadu_ps(right), _mm_mul_ps(_mm_set1_ps(gr), r)));
}

template <bool Resample, FilterMode Filter>
Position Stereo(const VoiceRun& r)
{
    const float* MARLET_DSP_RESTRICT s = r.source;
    float* MARLET_DSP_RESTRICT left = r.left;
    float* MARLET_DSP_RESTRICT right = r.right;
    Position p = r.position;
    const Position step = r.step;
    [[maybe_unused]] const Position step2 = 2 * step, step3 = 3 * step, step4 = 4 * step;
    [[maybe_unused]] const __m128i stepFractions = StepFractions(step);
    BiquadCoefficients k;
    BiquadState* st = r.state;
    if constexpr (Filter != kNoFilter) k = *r.coefficients;
    const __m128 b0 = _mm_set1_ps(k.b0), b1 = _mm_set1_ps(k.b1), b2 = _mm_set1_ps(k.b2);
    const __m128 a1 = _mm_set1_ps(k.a1), a2 = _mm_set1_ps(k.a2);
    __m128 x1 = _mm_setzero_ps(), x2 = x1, y1 = x1, y2 = x1;
    if constexpr (Filter != kNoFilter) {
        x1 = _mm_setr_ps(st[0].x1, st[1].x1, 0.0f, 0.0f);
        x2 = _mm_setr_ps(st[0].x2, st[1].x2, 0.0f, 0.0f);
        y1 = _mm_setr_ps(st[0].y1, st[1].y1, 0.0f, 0.0f);
        y2 = _mm_setr_ps(st[0].y2, st[1].y2, 0.0f, 0.0f);
    }
    // One frame, lanes 0 and 1 left and right (2 and 3 spare): the filtered variants go frame
    // by frame, the filter's recurrence being serial.
    const auto frame = [&](int f) MARLET_DSP_LAMBDA_INLINE -> __m128 {
        __m128 x;
        if constexpr (Filter == kClosedFilter) {
            x = _mm_setzero_ps();
        } else if constexpr (Resample) {
            const __m128 v = _mm_loadu_ps(s + 2 * FrameOf(p));  // a.l a.r b.l b.r
            const __m128 d = _mm_sub_ps(_mm_movehl_ps(v, v), v);
            x = _mm_add_ps(v, _mm_mul_ps(_mm_set1_ps(Fraction(p)), d));
        } else {
            x = LoadPair(s + 2 * f);
        }
        if constexpr (Resample) p += step;
        if constexpr (Filter == kNoFilter) {
            return x;
        } else {
            return BiquadStep(x, b0, b1, b2, a1, a2, x1, x2, y1, y2);
        }
    };
    const auto quad = [&](int f, float gl, float gr) MARLET_DSP_LAMBDA_INLINE {
        __m128 l, rr;
        if constexpr (Resample && Filter == kNoFilter) {
            // Four frames and their right-hand neighbours, turned into channel rows.
            const __m128 v0 = _mm_loadu_ps(s + 2 * FrameOf(p));  // a.l a.r b.l b.r
            const __m128 v1 = _mm_loadu_ps(s + 2 * FrameOf(p + step));
            const __m128 v2 = _mm_loadu_ps(s + 2 * FrameOf(p + step2));
            const __m128 v3 = _mm_loadu_ps(s + 2 * FrameOf(p + step3));
            const __m128 w = Weights(p, stepFractions);
            p += step4;
            const __m128 t0 = _mm_unpacklo_ps(v0, v1), t1 = _mm_unpacklo_ps(v2, v3);
            const __m128 t2 = _mm_unpackhi_ps(v0, v1), t3 = _mm_unpackhi_ps(v2, v3);
            const __m128 al = _mm_movelh_ps(t0, t1), ar = _mm_movehl_ps(t1, t0);
            const __m128 bl = _mm_movelh_ps(t2, t3), br = _mm_movehl_ps(t3, t2);
            l = _mm_add_ps(al, _mm_mul_ps(w, _mm_sub_ps(bl, al)));
            rr = _mm_add_ps(ar, _mm_mul_ps(w, _mm_sub_ps(br, ar)));
        } else {
            __m128 lo, hi;
            if constexpr (!Resample && Filter == kNoFilter) {
                lo = _mm_loadu_ps(s + 2 * f);
                hi = _mm_loadu_ps(s + 2 * f + 4);
            } else {
                const __m128 v0 = frame(f), v1 = frame(f + 1), v2 = frame(f + 2), v3 = frame(f + 3);
                lo = _mm_movelh_ps(v0, v1);
                hi = _mm_movelh_ps(v2, v3);
            }
            l = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0));
            rr = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1));
        }
        MixQuad(left + f, right + f, l, rr, gl, gr);
    };
    const auto single = [&](int f, float gl, float gr) MARLET_DSP_LAMBDA_INLINE {
        const __m128 v = frame(f);
        left[f] += gl * _mm_cvtss_f32(v);
        right[f] += gr * _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1)));
    };
    ForEachStep(r, quad, single);
    if constexpr (Filter != kNoFilter) {
        alignas(16) float v[4][4];
        _mm_store_ps(v[0], x1);
        _mm_store_ps(v[1], x2);
        _mm_store_ps(v[2], y1);
        _mm_store_ps(v[3], y2);
        for (int c = 0; c < 2; ++c) {
            st[c] = {v[0][c], v[1][c], v[2][c], v[3][c]};
            BiquadForget(st[c]);
        }
    }
    return p;
}

#endif

// Mono, and stereo where SSE2 is missing: the same arithmetic one value at a time, with mono
// quads made and mixed four frames at once where SSE2 is there.
template <int Channels, bool Resample, FilterMode Filter>
Position Plain(const VoiceRun& r)
{
    const float* MARLET_DSP_RESTRICT s = r.source;
    float* MARLET_DSP_RESTRICT left = r.left;
    float* MARLET_DSP_RESTRICT right = r.right;
    Position p = r.position;
    const Position step = r.step;
    BiquadCoefficients k;
    BiquadState st[2];
    if constexpr (Filter != kNoFilter) {
        k = *r.coefficients;
        for (int c = 0; c < Channels; ++c) st[c] = r.state[c];
    }
    struct Out {
        float v[Channels];
    };
    const auto frame = [&](int f) MARLET_DSP_LAMBDA_INLINE -> Out {
        Out o;
        if constexpr (Filter == kClosedFilter) {
            for (int c = 0; c < Channels; ++c) o.v[c] = 0.0f;
        } else if constexpr (Resample) {
            const float* a = s + Channels * FrameOf(p);
            const float w = Fraction(p);
            for (int c = 0; c < Channels; ++c) o.v[c] = a[c] + w * (a[c + Channels] - a[c]);
        } else {
            for (int c = 0; c < Channels; ++c) o.v[c] = s[Channels * f + c];
        }
        if constexpr (Resample) p += step;
        if constexpr (Filter != kNoFilter)
            for (int c = 0; c < Channels; ++c) o.v[c] = BiquadTick(k, st[c], o.v[c]);
        return o;
    };
    const auto single = [&](int f, float gl, float gr) MARLET_DSP_LAMBDA_INLINE {
        const Out o = frame(f);
        left[f] += gl * o.v[0];
        right[f] += gr * o.v[Channels - 1];
    };
#if MARLET_DSP_SSE2
    [[maybe_unused]] const Position step2 = 2 * step, step3 = 3 * step, step4 = 4 * step;
    [[maybe_unused]] const __m128i stepFractions = StepFractions(step);
    const auto quad = [&](int f, float gl, float gr) MARLET_DSP_LAMBDA_INLINE {
        if constexpr (Channels == 1) {
            __m128 x;
            if constexpr (!Resample && Filter == kNoFilter) {
                x = _mm_loadu_ps(s + f);
            } else if constexpr (Resample && Filter == kNoFilter) {
                // Frames k and k+1 of each position in one 8-byte load, then regrouped.
                const auto pair = [&](Position q)
                                      MARLET_DSP_LAMBDA_INLINE { return LoadPair(s + FrameOf(q)); };
                const __m128 ab0 = pair(p), ab1 = pair(p + step), ab2 = pair(p + step2),
                             ab3 = pair(p + step3);
                const __m128 w = Weights(p, stepFractions);
                p += step4;
                const __m128 lo = _mm_movelh_ps(ab0, ab1), hi = _mm_movelh_ps(ab2, ab3);
                const __m128 a = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0));
                const __m128 b = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1));
                x = _mm_add_ps(a, _mm_mul_ps(w, _mm_sub_ps(b, a)));
            } else {
                const float v0 = frame(f).v[0];
                const float v1 = frame(f + 1).v[0];
                const float v2 = frame(f + 2).v[0];
                const float v3 = frame(f + 3).v[0];
                x = _mm_setr_ps(v0, v1, v2, v3);
            }
            MixQuad(left + f, right + f, x, x, gl, gr);
        } else {
            for (int j = 0; j < 4; ++j) single(f + j, gl, gr);
        }
    };
#else
    const auto quad = [&](int f, float gl, float gr) MARLET_DSP_LAMBDA_INLINE {
        for (int j = 0; j < 4; ++j) single(f + j, gl, gr);
    };
#endif
    ForEachStep(r, quad, single);
    if constexpr (Filter != kNoFilter) {
        for (int c = 0; c < Channels; ++c) {
            r.state[c] = st[c];
            BiquadForget(r.state[c]);
        }
    }
    return p;
}

template <int Channels, bool Resample, FilterMode Filter>
Position Variant(const VoiceRun& r)
{
#if MARLET_DSP_SSE2
    if constexpr (Channels == 2) return Stereo<Resample, Filter>(r);
#endif
    return Plain<Channels, Resample, Filter>(r);
}

template <int Channels, bool Resample>
Position ByFilter(const VoiceRun& r)
{
    if (!r.coefficients) return Variant<Channels, Resample, kNoFilter>(r);
    if (r.closed) return Variant<Channels, Resample, kClosedFilter>(r);
    return Variant<Channels, Resample, kOpenFilter>(r);
}

}  // namespace

Position RenderVoiceRun(const VoiceRun& r)
{
    if (r.frames <= 0) return r.position;
    if (r.channels == 2) return r.resample ? ByFilter<2, true>(r) : ByFilter<2, false>(r);
    return r.resample ? ByFilter<1, true>(r) : ByFilter<1, false>(r);
}

Position RenderVoiceRunReference(const VoiceRun& r)
{
    if (r.frames <= 0) return r.position;
    const int ch = r.channels;
    std::vector<float> x(static_cast<std::size_t>(r.frames * ch));
    Position end = r.position;
    if (r.resample)
        end = InterpolateFloatReference(r.source, ch, r.position, r.step, x.data(), r.frames);
    else
        std::copy_n(r.source, r.frames * ch, x.data());
    if (r.coefficients) {
        if (r.closed) std::fill(x.begin(), x.end(), 0.0f);
        BiquadRunReference(*r.coefficients, r.state, x.data(), r.frames, ch);
    }
    MixStepsReference(x.data(), ch, r.gains, r.left, r.right, r.frames);
    return end;
}

}  // namespace dsp
