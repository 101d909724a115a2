// Little-endian signed values as the sample decoders read them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dsp/DecodeDelta.h"

namespace dsp::decode {

inline std::int32_t S8(const std::byte* p)
{
    return static_cast<std::int8_t>(p[0]);
}

inline std::int32_t S16(const std::byte* p)
{
    return static_cast<std::int16_t>(std::to_integer<std::uint16_t>(p[0]) |
                                     (std::to_integer<std::uint16_t>(p[1]) << 8));
}

inline std::int32_t S24(const std::byte* p)
{
    const std::uint32_t u = std::to_integer<std::uint32_t>(p[0]) |
                            (std::to_integer<std::uint32_t>(p[1]) << 8) |
                            (std::to_integer<std::uint32_t>(p[2]) << 16);
    return static_cast<std::int32_t>(u ^ 0x800000u) - 0x800000;
}

inline std::int32_t SignExtend12(std::uint32_t v)
{
    return static_cast<std::int32_t>((v & 0xFFF) ^ 0x800) - 0x800;
}

inline void Put(const ShortSink& out, std::size_t i, std::int32_t v)
{
    out.dst[i * static_cast<std::size_t>(out.stride)] = static_cast<std::int16_t>(v >> out.shift);
}

inline void Put(const FloatSink& out, std::size_t i, std::int32_t v)
{
    out.dst[i * static_cast<std::size_t>(out.stride)] = static_cast<float>(v) * out.scale;
}

// The predictor's step for one delta; answers the new value.
inline std::int32_t Step(DeltaState& s, std::int32_t d)
{
    s.z -= static_cast<std::uint32_t>(d);
    s.y -= s.z;
    s.x = 0u - (s.x + s.y);
    s.w += s.x;
    return static_cast<std::int32_t>(s.w);
}

}  // namespace dsp::decode
