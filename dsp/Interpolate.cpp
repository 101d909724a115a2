#include "dsp/Interpolate.h"

#include <algorithm>
#include <type_traits>

#include "dsp/Convert.h"
#include "dsp/Simd.h"

namespace dsp {

namespace {

// How a source value becomes a float.
struct FloatSource {
    using Type = float;
    static float At(const float* s, std::int64_t i) { return s[i]; }
};
struct Int16Source {
    using Type = std::int16_t;
    static float At(const std::int16_t* s, std::int64_t i)
    {
        return static_cast<float>(s[i]) * kInt16Scale;
    }
};
struct Int24Source {
    using Type = std::uint8_t;
    static float At(const std::uint8_t* s, std::int64_t i)
    {
        return static_cast<float>(LoadInt24(s + 3 * i)) * kInt24Scale;
    }
};

template <class Src>
Position Reference(const typename Src::Type* s, int channels, Position p, Position step, float* out,
                   int frames)
{
    for (int j = 0; j < frames; ++j, p += step) {
        const std::int64_t k = FrameOf(p);
        const float w = Fraction(p);
        for (int c = 0; c < channels; ++c) {
            const float a = Src::At(s, k * channels + c);
            const float b = Src::At(s, (k + 1) * channels + c);
            out[j * channels + c] = a + w * (b - a);
        }
    }
    return p;
}

template <class Src, int Channels>
Position Fast(const typename Src::Type* MARLET_DSP_RESTRICT s, Position p, Position step,
              float* MARLET_DSP_RESTRICT out, int frames)
{
    for (int j = 0; j < frames; ++j, p += step) {
        const std::int64_t k = FrameOf(p) * Channels;
        const float w = Fraction(p);
        if constexpr (Channels == 1) {
            const float a = Src::At(s, k);
            const float b = Src::At(s, k + 1);
            out[j] = a + w * (b - a);
        } else {
            const float a0 = Src::At(s, k), a1 = Src::At(s, k + 1);
            const float b0 = Src::At(s, k + 2), b1 = Src::At(s, k + 3);
            out[2 * j] = a0 + w * (b0 - a0);
            out[2 * j + 1] = a1 + w * (b1 - a1);
        }
    }
    return p;
}

#if MARLET_DSP_SSE2
// Stereo float frames: both channels of a frame and of the next in one load.
Position FastStereoFloat(const float* MARLET_DSP_RESTRICT s, Position p, Position step,
                         float* MARLET_DSP_RESTRICT out, int frames)
{
    for (int j = 0; j < frames; ++j, p += step) {
        const __m128 v = _mm_loadu_ps(s + 2 * FrameOf(p));  // a0 a1 b0 b1
        const __m128 d = _mm_sub_ps(_mm_movehl_ps(v, v), v);
        const __m128 x = _mm_add_ps(v, _mm_mul_ps(_mm_set1_ps(Fraction(p)), d));
        _mm_storel_pi(reinterpret_cast<__m64*>(out + 2 * j), x);
    }
    return p;
}

// Stereo 16-bit frames: two frames (8 bytes) in one load, widened and scaled in one go.
Position FastStereoInt16(const std::int16_t* MARLET_DSP_RESTRICT s, Position p, Position step,
                         float* MARLET_DSP_RESTRICT out, int frames)
{
    const __m128 scale = _mm_set1_ps(kInt16Scale);
    for (int j = 0; j < frames; ++j, p += step) {
        const __m128i raw = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + 2 * FrameOf(p)));
        const __m128i wide = _mm_srai_epi32(_mm_unpacklo_epi16(raw, raw), 16);
        const __m128 v = _mm_mul_ps(_mm_cvtepi32_ps(wide), scale);
        const __m128 d = _mm_sub_ps(_mm_movehl_ps(v, v), v);
        const __m128 x = _mm_add_ps(v, _mm_mul_ps(_mm_set1_ps(Fraction(p)), d));
        _mm_storel_pi(reinterpret_cast<__m64*>(out + 2 * j), x);
    }
    return p;
}
#endif

template <class Src>
Position Dispatch(const typename Src::Type* s, int channels, Position p, Position step, float* out,
                  int frames)
{
    if (frames <= 0) return p;
    if (channels == 1) return Fast<Src, 1>(s, p, step, out, frames);
#if MARLET_DSP_SSE2
    if constexpr (std::is_same_v<Src, FloatSource>) return FastStereoFloat(s, p, step, out, frames);
    if constexpr (std::is_same_v<Src, Int16Source>) return FastStereoInt16(s, p, step, out, frames);
#endif
    return Fast<Src, 2>(s, p, step, out, frames);
}

}  // namespace

Position InterpolateFloat(const float* source, int channels, Position position, Position step,
                          float* out, int frames)
{
    return Dispatch<FloatSource>(source, channels, position, step, out, frames);
}

Position InterpolateFloatReference(const float* source, int channels, Position position,
                                   Position step, float* out, int frames)
{
    return Reference<FloatSource>(source, channels, position, step, out, frames);
}

Position InterpolateInt16(const std::int16_t* source, int channels, Position position,
                          Position step, float* out, int frames)
{
    return Dispatch<Int16Source>(source, channels, position, step, out, frames);
}

Position InterpolateInt16Reference(const std::int16_t* source, int channels, Position position,
                                   Position step, float* out, int frames)
{
    return Reference<Int16Source>(source, channels, position, step, out, frames);
}

Position InterpolateInt24(const std::uint8_t* source, int channels, Position position,
                          Position step, float* out, int frames)
{
    return Dispatch<Int24Source>(source, channels, position, step, out, frames);
}

Position InterpolateInt24Reference(const std::uint8_t* source, int channels, Position position,
                                   Position step, float* out, int frames)
{
    return Reference<Int24Source>(source, channels, position, step, out, frames);
}

Position InterpolateLoopedInt16(const std::int16_t* source, int channels, Loop loop,
                                Position position, Position step, float* out, int frames)
{
    // Runs whose frames all have their right-hand neighbour before the loop's end go to the
    // straight kernel; a frame at the loop's last frame takes its neighbour from the start.
    const Position lastFrame = PositionOfFrame(loop.end);
    Position p = WrapIntoLoop(position, loop);
    while (frames > 0) {
        if (p < lastFrame) {
            const Position span = lastFrame - p;
            const Position fit = (span + step - 1) / step;
            const int n = static_cast<int>(std::min<Position>(fit, static_cast<Position>(frames)));
            p = InterpolateInt16(source, channels, p, step, out, n);
            out += n * channels;
            frames -= n;
        } else {
            const float w = Fraction(p);
            for (int c = 0; c < channels; ++c) {
                const float a = Int16Source::At(source, std::int64_t {loop.end} * channels + c);
                const float b = Int16Source::At(source, std::int64_t {loop.start} * channels + c);
                out[c] = a + w * (b - a);
            }
            out += channels;
            --frames;
            p += step;
        }
        p = WrapIntoLoop(p, loop);
    }
    return p;
}

Position InterpolateLoopedInt16Reference(const std::int16_t* source, int channels, Loop loop,
                                         Position position, Position step, float* out, int frames)
{
    Position p = WrapIntoLoop(position, loop);
    for (int j = 0; j < frames; ++j) {
        const std::int64_t k = FrameOf(p);
        const std::int64_t next = k == loop.end ? loop.start : k + 1;
        const float w = Fraction(p);
        for (int c = 0; c < channels; ++c) {
            const float a = Int16Source::At(source, k * channels + c);
            const float b = Int16Source::At(source, next * channels + c);
            out[j * channels + c] = a + w * (b - a);
        }
        p = WrapIntoLoop(p + step, loop);
    }
    return p;
}

}  // namespace dsp
