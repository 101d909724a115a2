// Every picture of the skin, drawn by code: the list of names and sizes, and the drawing.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "tools/marlet-skin/SkinBitmap.h"

struct SkinEntry {
    std::string_view name;
    int width;
    int height;
};

class SkinArt {
public:
    // The skin's pictures by their lower-case file names, with their sizes.
    static std::span<const SkinEntry> Entries();
    // Draws all of them, in the order of Entries().
    static std::vector<SkinBitmap> DrawAll();
};
