// A picture of the gallery: a surface to draw on, with headings and pictures enlarged pixel
// for pixel, written as a PNG.
#pragma once

#include <string>
#include <string_view>

#include "gui/XColor.h"
#include "gui/XGraphic.h"
#include "gui/XPic.h"
#include "gui/XRect.h"

class GalleryCanvas {
public:
    static constexpr XColor kBackground {24, 24, 26};
    static constexpr XColor kHeading {230, 230, 230};
    static constexpr XColor kNote {140, 140, 140};

    GalleryCanvas(int width, int height, XColor background = kBackground);

    XGraphic& G() { return g_; }
    // A heading in the large bold font, its top at y.
    void Heading(std::string_view text, int x, int y);
    // A small caption in the default font.
    void Caption(std::string_view text, int x, int y, XColor c = kNote);
    // The picture at (x, y), each pixel as a scale x scale square; masked pixels are left out.
    void DrawScaled(const XPic& pic, int x, int y, int scale);
    // A part of the surface as a picture (to show it enlarged).
    XPic Crop(const XRect& area) const;
    // Writes dir/name; false when it cannot.
    bool Save(const std::string& dir, std::string_view name) const;

private:
    XGraphic g_;
};
