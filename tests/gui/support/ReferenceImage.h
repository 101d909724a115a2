// Reference pictures for GUI tests. A test draws into an XGraphic and compares the surface
// pixel for pixel with tests/gui/references/<name>.png. On a mismatch the actual picture and a
// difference picture (differing pixels red, the rest a faded copy) go to
// <build>/gui-failures/<name>.actual.png and <name>.diff.png. With MARLET_UPDATE_REFERENCES=1
// in the environment the reference is (re)written instead and the check passes.
//
// The references are drawn on Linux, where FreeType draws the text. On Windows GDI rasterises
// the same font differently, so there the rigs record where text went (RecordTextForReference)
// and the comparison leaves those boxes out, grown by kTextMargin; everything else still has
// to match exactly. The difference picture shows what was left out in blue.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/XGraphic.h"
#include "gui/XRect.h"

class XPic;

namespace testsupport {

// How far around a text's cell the comparison leaves out on Windows. The cell spans the text's
// advance and the font's ascent + descent, and both rasterisers place glyphs by the same hinted
// advances from the same baseline (XFontGdi asks GDI for FreeType's em and ascent), so the text
// itself does not move; but antialiased ink reaches a pixel past the advance where a glyph's
// outline does (bold capitals, the ends of a label), faintly and differently in each
// rasteriser. More than a pixel would hide real faults beside text: carets, frames, ellipses.
inline constexpr int kTextMargin = 1;

// Switches the graphic's text recording on where the references come from another rasteriser
// (Windows); elsewhere it does nothing and comparisons stay exact.
inline void RecordTextForReference([[maybe_unused]] XGraphic& graphic)
{
#ifdef _WIN32
    graphic.RecordTextAreas(true);
#endif
}

// Which pixels of a width x height surface a comparison leaves out: the areas, each grown by
// kTextMargin (row-major, true = left out).
std::vector<bool> LeftOutMask(int width, int height, std::span<const XRect> areas);

// `leftOut`: surface rectangles not compared (each grown by kTextMargin).
::testing::AssertionResult MatchesReference(std::span<const std::uint32_t> pixels, int width,
                                            int height, std::string_view name,
                                            std::span<const XRect> leftOut = {});
// On Windows leaves out the graphic's recorded text areas (see RecordTextForReference).
::testing::AssertionResult MatchesReference(const XGraphic& graphic, std::string_view name);

inline void ExpectMatchesReference(const XGraphic& graphic, std::string_view name)
{
    EXPECT_TRUE(MatchesReference(graphic, name));
}

// Writes 0x00RRGGBB pixels as an RGB PNG; false when the file cannot be written.
bool WritePng(const std::string& path, std::span<const std::uint32_t> pixels, int width,
              int height);
// PNG bytes of the pixels; with a mask (one byte per pixel, 0 = transparent) an RGBA PNG.
// Empty when the sizes do not match.
std::vector<std::uint8_t> EncodePng(std::span<const std::uint32_t> pixels, int width, int height,
                                    std::span<const std::uint8_t> mask = {});

// A part of the surface as text, one string per row, for geometry checks that read like the
// picture: each pixel becomes the character its colour maps to in `legend`, '.' for
// `background` and '?' for any other colour.
using Legend = std::initializer_list<std::pair<std::uint32_t, char>>;
std::vector<std::string> Art(const XGraphic& graphic, const XRect& area, Legend legend,
                             std::uint32_t background = 0);

// Where references live and where failures go.
std::string ReferencePath(std::string_view name);
std::string FailurePath(std::string_view name, std::string_view kind);

}  // namespace testsupport
