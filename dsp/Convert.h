// Integer sample data to floats: 16-bit (scaled by 1/32767, the voice's full scale) and 24-bit
// packed little-endian (scaled by 1/8388607). The fast versions use SSE2 where present; they
// round exactly as the references do (one conversion, one multiplication per value).
#pragma once

#include <cstdint>

namespace dsp {

constexpr float kInt16Scale = 1.0f / 32767.0f;
constexpr float kInt24Scale = 1.0f / 8388607.0f;

// `values` values (frames x channels).
void ConvertInt16(const std::int16_t* src, float* dst, int values);
void ConvertInt16Reference(const std::int16_t* src, float* dst, int values);
// `src` holds 3 bytes per value, least significant first.
void ConvertInt24(const std::uint8_t* src, float* dst, int values);
void ConvertInt24Reference(const std::uint8_t* src, float* dst, int values);

inline std::int32_t LoadInt24(const std::uint8_t* p)
{
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) |
                            static_cast<std::uint32_t>(p[1]) << 8 |
                            static_cast<std::uint32_t>(p[2]) << 16;
    return static_cast<std::int32_t>(u << 8) >> 8;
}

}  // namespace dsp
