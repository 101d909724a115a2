// One skin picture as the generator draws it: 0x00RRGGBB pixels and, for pictures that show
// what lies beneath them, a mask (one byte per pixel, 0 = transparent; empty = opaque).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/XRect.h"

struct SkinBitmap {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> mask;
    // Where its labels went (another platform's rasteriser draws them differently).
    std::vector<XRect> text;
};

// The pixels of a w x h part of the picture at (x, y); outside it, black.
inline std::vector<std::uint32_t> CropPixels(const SkinBitmap& from, int x, int y, int w, int h)
{
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h, 0);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const int sx = x + col, sy = y + row;
            if (sx < 0 || sy < 0 || sx >= from.width || sy >= from.height) continue;
            out[static_cast<std::size_t>(row) * w + col] =
                from.pixels[static_cast<std::size_t>(sy) * from.width + sx];
        }
    }
    return out;
}
