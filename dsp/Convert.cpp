#include "dsp/Convert.h"

#include <cstring>

#include "dsp/Simd.h"

namespace dsp {

void ConvertInt16(const std::int16_t* MARLET_DSP_RESTRICT src, float* MARLET_DSP_RESTRICT dst,
                  int values)
{
    int i = 0;
#if MARLET_DSP_SSE2
    const __m128 scale = _mm_set1_ps(kInt16Scale);
    for (; i + 8 <= values; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // Sign-extend by placing each value in the high half and shifting back.
        const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
        const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
        _mm_storeu_ps(dst + i, _mm_mul_ps(_mm_cvtepi32_ps(lo), scale));
        _mm_storeu_ps(dst + i + 4, _mm_mul_ps(_mm_cvtepi32_ps(hi), scale));
    }
#endif
    for (; i < values; ++i) dst[i] = static_cast<float>(src[i]) * kInt16Scale;
}

void ConvertInt16Reference(const std::int16_t* src, float* dst, int values)
{
    for (int i = 0; i < values; ++i) dst[i] = static_cast<float>(src[i]) * kInt16Scale;
}

void ConvertInt24(const std::uint8_t* MARLET_DSP_RESTRICT src, float* MARLET_DSP_RESTRICT dst,
                  int values)
{
    int i = 0;
#if MARLET_DSP_SSE2
    const __m128 scale = _mm_set1_ps(kInt24Scale);
    // Four values (12 bytes) at a time; a 16-byte load needs 4 bytes of slack, so the last
    // group is left to the plain loop.
    for (; i + 5 <= values; i += 4) {
        std::uint32_t w[4];
        for (int j = 0; j < 4; ++j) std::memcpy(&w[j], src + 3 * (i + j), 4);
        const __m128i v = _mm_setr_epi32(static_cast<int>(w[0] << 8), static_cast<int>(w[1] << 8),
                                         static_cast<int>(w[2] << 8), static_cast<int>(w[3] << 8));
        _mm_storeu_ps(dst + i, _mm_mul_ps(_mm_cvtepi32_ps(_mm_srai_epi32(v, 8)), scale));
    }
#endif
    for (; i < values; ++i) dst[i] = static_cast<float>(LoadInt24(src + 3 * i)) * kInt24Scale;
}

void ConvertInt24Reference(const std::uint8_t* src, float* dst, int values)
{
    for (int i = 0; i < values; ++i)
        dst[i] = static_cast<float>(LoadInt24(src + 3 * i)) * kInt24Scale;
}

}  // namespace dsp
