// Source positions in 32.32 fixed point: whole frames in the high word, the fraction in the low.
// Adding a step is exact, so a voice's pitch does not drift however long it loops, and the
// fraction converts to a float weight by one correctly rounded conversion.
#pragma once

#include <cmath>
#include <cstdint>

namespace dsp {

using Position = std::uint64_t;

constexpr Position kPositionOne = Position {1} << 32;

constexpr Position PositionOfFrame(std::int64_t frame)
{
    return static_cast<Position>(frame) << 32;
}

constexpr std::int64_t FrameOf(Position p)
{
    return static_cast<std::int64_t>(p >> 32);
}

// The step for a pitch ratio (source frames per output frame), rounded to the nearest 2^-32.
inline Position StepOf(double ratio)
{
    return static_cast<Position>(std::llround(ratio * 4294967296.0));
}

inline double ToDouble(Position p)
{
    return static_cast<double>(p >> 32) + static_cast<double>(p & 0xffffffffu) / 4294967296.0;
}

// The interpolation weight: the fraction, rounded once to a float.
inline float Fraction(Position p)
{
    return static_cast<float>(static_cast<std::int64_t>(p & 0xffffffffu)) * 0x1p-32f;
}

}  // namespace dsp
