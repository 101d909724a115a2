// Encodes sample values into the compressed blocks of .gig samples: per block one mode byte per
// channel, the start values of the delta modes, then the data. 16-bit data use mode 0 (plain) or
// 1 (8-bit deltas), interleaved; 24-bit data use mode 2 (plain), 3 (16-bit), 4 (12-bit pairs) or
// 5 (8-bit) deltas, channel after channel.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace testsupport {

class GigBlockEncoder {
public:
    struct Encoded {
        std::vector<std::uint8_t> data;
        std::uint32_t blocks = 0;
    };

    // `values` are interleaved as they are to be decoded (for 24 bits: already reduced by the
    // truncated bits). The last block is filled up by repeating the last frame (give whole blocks
    // to the delta modes: the seam may not fit their deltas). Throws
    // std::invalid_argument when a delta does not fit its mode or the shape is unsupported.
    static Encoded Encode(std::span<const std::int32_t> values, int channels, int bits,
                          int blockFrames, std::array<int, 2> modes);

    // Size of one whole block.
    static std::size_t BlockBytes(int channels, int bits, int blockFrames,
                                  std::array<int, 2> modes);
};

}  // namespace testsupport
