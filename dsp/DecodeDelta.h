// Sample decoders: little-endian plain values and the delta modes of block-compressed data, into
// 16-bit values (preloads) or floats (streams). Each decodes a run of frames of one block and
// keeps the predictor state between runs, so a block may be decoded in pieces of any size.
// The fast versions here match the scalar ones in DecodeReference.h bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dsp {

// One channel's predictor; unsigned so that damaged data wrap instead of overflowing.
struct DeltaState {
    std::uint32_t w = 0, x = 0, y = 0, z = 0;
    std::int32_t pending = 0;  // second half of a 12-bit pair
};

// Where decoded values go: every stride-th element from dst, as value >> shift ...
struct ShortSink {
    std::int16_t* dst = nullptr;
    int stride = 1;
    int shift = 0;
};
// ... or as value * scale.
struct FloatSink {
    float* dst = nullptr;
    int stride = 1;
    float scale = 1.0f;
};

// Bytes the 24-bit `mode` (2 values, 3 16-bit deltas, 4 12-bit delta pairs, 5 8-bit deltas)
// takes for `frames` frames of one channel; for mode 4, `odd` when the first frame is the second
// half of a pair.
std::size_t Delta24Bytes(int mode, int frames, bool odd);

// One channel of 24-bit block data: `frames` frames from src (which holds Delta24Bytes of them);
// answers the bytes consumed.
std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          ShortSink out);
std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          FloatSink out);

// 16-bit block data, channels interleaved frame by frame, each in mode 0 (values) or 1 (8-bit
// deltas); `modes` and `states` hold one entry per channel (1 or 2). The values are written
// interleaved as they come (the sink's stride is ignored). Answers the bytes consumed.
std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, ShortSink out);
std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, FloatSink out);

// `count` plain values of `bits` (16 or 24) from src into consecutive elements (stride ignored).
void DecodePlain(int bits, const std::byte* src, std::size_t count, ShortSink out);
void DecodePlain(int bits, const std::byte* src, std::size_t count, FloatSink out);

}  // namespace dsp
