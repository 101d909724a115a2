// Linear interpolation between neighbouring source frames at 32.32 fixed-point positions: frame
// j of the output is s[k] + w (s[k+1] - s[k]) per channel, k and w the whole and fractional parts
// of position + j x step. Sources are floats, 16-bit or packed 24-bit integers (scaled to floats
// first, as Convert does, so the three agree), mono or stereo interleaved; straight runs read
// frames [k, k+1] within the source, looped runs wrap from the loop's end to its start.
#pragma once

#include <cstdint>

#include "dsp/Position.h"

namespace dsp {

// Straight runs: the caller guarantees that frame (position + (frames-1) x step) >> 32, and the
// one after it, lie in the source. Answers the position after the run.
Position InterpolateFloat(const float* source, int channels, Position position, Position step,
                          float* out, int frames);
Position InterpolateFloatReference(const float* source, int channels, Position position,
                                   Position step, float* out, int frames);
Position InterpolateInt16(const std::int16_t* source, int channels, Position position,
                          Position step, float* out, int frames);
Position InterpolateInt16Reference(const std::int16_t* source, int channels, Position position,
                                   Position step, float* out, int frames);
Position InterpolateInt24(const std::uint8_t* source, int channels, Position position,
                          Position step, float* out, int frames);
Position InterpolateInt24Reference(const std::uint8_t* source, int channels, Position position,
                                   Position step, float* out, int frames);

// Looped runs over a 16-bit source: frames loopStart..loopEnd repeat, the frame after loopEnd
// being loopStart. `position` may lie anywhere before loopEnd + 1; the answer is the position
// after the run, wrapped into the loop once it has passed loopEnd + 1.
struct Loop {
    int start = 0;
    int end = 0;  // last frame, inclusive
};
Position InterpolateLoopedInt16(const std::int16_t* source, int channels, Loop loop,
                                Position position, Position step, float* out, int frames);
Position InterpolateLoopedInt16Reference(const std::int16_t* source, int channels, Loop loop,
                                         Position position, Position step, float* out, int frames);

// The position after one more step, wrapped into the loop once past its end.
inline Position WrapIntoLoop(Position p, Loop loop)
{
    const Position end = PositionOfFrame(loop.end + 1);
    if (p < end) return p;
    const Position start = PositionOfFrame(loop.start);
    const Position length = PositionOfFrame(loop.end - loop.start + 1);
    return start + (p - start) % length;
}

}  // namespace dsp
