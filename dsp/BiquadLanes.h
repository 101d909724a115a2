// The biquad's step on the lanes of a register (two channels of a frame, or four frames' worth
// of one channel's inputs), shared by the filter run and the fused voice pass.
#pragma once

#include "dsp/Simd.h"

#if MARLET_DSP_SSE2
namespace dsp {

// y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, summed in the plain filter's order so that every
// lane equals the plain result bit for bit; then the memory moves on by one frame.
MARLET_DSP_INLINE __m128 BiquadStep(__m128 x, __m128 b0, __m128 b1, __m128 b2, __m128 a1, __m128 a2,
                                    __m128& x1, __m128& x2, __m128& y1, __m128& y2)
{
    const __m128 y = _mm_sub_ps(
        _mm_sub_ps(
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(b0, x), _mm_mul_ps(b1, x1)), _mm_mul_ps(b2, x2)),
            _mm_mul_ps(a1, y1)),
        _mm_mul_ps(a2, y2));
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

}  // namespace dsp
#endif
