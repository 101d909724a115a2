// PNG files of skin pictures: RGB, or RGBA when the picture has a mask.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/marlet-skin/SkinBitmap.h"

class SkinPng {
public:
    static std::vector<std::uint8_t> Encode(std::span<const std::uint32_t> pixels, int width,
                                            int height, std::span<const std::uint8_t> mask = {});
    static std::vector<std::uint8_t> Encode(const SkinBitmap& bitmap)
    {
        return Encode(bitmap.pixels, bitmap.width, bitmap.height, bitmap.mask);
    }
    // False when the file cannot be written.
    static bool Write(const std::string& path, std::span<const std::uint8_t> png);
};
