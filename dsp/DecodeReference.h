// The plain scalar decoders the fast ones in DecodeDelta.h are held to: one value at a time,
// written for clarity, not speed. Same contracts as there.
#pragma once

#include "dsp/DecodeDelta.h"

namespace dsp::reference {

std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          ShortSink out);
std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          FloatSink out);
std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, ShortSink out);
std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, FloatSink out);
void DecodePlain(int bits, const std::byte* src, std::size_t count, ShortSink out);
void DecodePlain(int bits, const std::byte* src, std::size_t count, FloatSink out);

}  // namespace dsp::reference
