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
