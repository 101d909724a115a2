// How a sample's data are laid out in its file: what the sample reader needs to decode them.
// The instrument model's sample record builds on it.
#pragma once

#include <cstdint>

struct GigaSampleFormat {
    std::int32_t dataOffset = 0;  // of the 'data' chunk's bytes in the file
    std::int32_t channels = 2;
    std::int32_t bitsPerSample = 16;
    std::int32_t blockFrames = 0;  // frames per compressed block; 0 for plain data
    std::int32_t truncatedBits = 0;
    std::int32_t dataSize = 0;
};
