// The vector instructions the kernels may use: SSE2 (the x86-64 baseline) when the compiler
// offers it, else nothing; every kernel has a plain path that builds anywhere.
#pragma once

#if defined(__SSE2__) && !defined(MARLET_DSP_SCALAR)
#define MARLET_DSP_SSE2 1
#include <emmintrin.h>
#else
#define MARLET_DSP_SSE2 0
#endif

#if defined(__GNUC__) || defined(__clang__)
#define MARLET_DSP_RESTRICT __restrict__
#define MARLET_DSP_INLINE inline __attribute__((always_inline))
// After a lambda's parameter list: the per-frame lambdas must fold into their loops, or the
// filter's memory goes through the stack between frames.
#define MARLET_DSP_LAMBDA_INLINE __attribute__((always_inline))
#else
#define MARLET_DSP_RESTRICT
#define MARLET_DSP_INLINE inline
#define MARLET_DSP_LAMBDA_INLINE
#endif

#if MARLET_DSP_SSE2
namespace dsp {

// A stereo frame (two floats) in the low half of a register, and back: one 8-byte access that
// needs no alignment beyond the floats' own.
MARLET_DSP_INLINE __m128 LoadPair(const float* p)
{
    return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

MARLET_DSP_INLINE void StorePair(float* p, __m128 v)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(v));
}

}  // namespace dsp
#endif
