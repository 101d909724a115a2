// Reference pictures for GUI tests. A test draws into an XGraphic and compares the surface
// pixel for pixel with tests/gui/references/<name>.png. On a mismatch the actual picture and a
// difference picture (differing pixels red, the rest a faded copy) go to
// <build>/gui-failures/<name>.actual.png and <name>.diff.png. With MARLET_UPDATE_REFERENCES=1
// in the environment the reference is (re)written instead and the check passes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/XRect.h"

class XGraphic;
class XPic;

namespace testsupport {

::testing::AssertionResult MatchesReference(std::span<const std::uint32_t> pixels, int width,
                                            int height, std::string_view name);
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
