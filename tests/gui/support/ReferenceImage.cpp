#include "tests/gui/support/ReferenceImage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "gui/XGraphic.h"
#include "gui/XPic.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace testsupport {

namespace {

bool UpdateRequested()
{
    const char* value = std::getenv("MARLET_UPDATE_REFERENCES");
    return value && std::string_view(value) == "1";
}

void AppendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

std::string Hex(std::uint32_t pixel)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", pixel & 0xFFFFFFu);
    return text;
}

}  // namespace

std::string ReferencePath(std::string_view name)
{
    return std::string(MARLET_GUI_REFERENCES) + "/" + std::string(name) + ".png";
}

std::string FailurePath(std::string_view name, std::string_view kind)
{
    return std::string(MARLET_GUI_FAILURES) + "/" + std::string(name) + "." + std::string(kind) +
           ".png";
}

std::vector<std::uint8_t> EncodePng(std::span<const std::uint32_t> pixels, int width, int height,
                                    std::span<const std::uint8_t> mask)
{
    const std::size_t count = static_cast<std::size_t>(std::max(width, 0)) *
                              static_cast<std::size_t>(std::max(height, 0));
    if (count == 0 || pixels.size() != count || (!mask.empty() && mask.size() != count)) return {};
    const int channels = mask.empty() ? 3 : 4;
    std::vector<unsigned char> raw(count * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char* p = raw.data() + i * static_cast<std::size_t>(channels);
        p[0] = static_cast<unsigned char>(pixels[i] >> 16);
        p[1] = static_cast<unsigned char>(pixels[i] >> 8);
        p[2] = static_cast<unsigned char>(pixels[i]);
        if (channels == 4) p[3] = mask[i] ? 255 : 0;
    }
    std::vector<unsigned char> png;
    if (!stbi_write_png_to_func(AppendBytes, &png, width, height, channels, raw.data(),
                                width * channels)) {
        return {};
    }
    return png;
}

std::vector<std::string> Art(const XGraphic& graphic, const XRect& area, Legend legend,
                             std::uint32_t background)
{
    std::vector<std::string> rows;
    for (int y = area.top; y <= area.bottom; ++y) {
        std::string row;
        for (int x = area.left; x <= area.right; ++x) {
            const std::uint32_t pixel = graphic.PixelAt(x, y);
            char c = pixel == background ? '.' : '?';
            for (const auto& [colour, mark] : legend) {
                if (pixel == colour) c = mark;
            }
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

bool WritePng(const std::string& path, std::span<const std::uint32_t> pixels, int width, int height)
{
    const std::vector<std::uint8_t> png = EncodePng(pixels, width, height);
    if (png.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out);
}

std::vector<bool> LeftOutMask(int width, int height, std::span<const XRect> areas)
{
    std::vector<bool> mask(static_cast<std::size_t>(std::max(width, 0)) *
                               static_cast<std::size_t>(std::max(height, 0)),
                           false);
    const XRect surface(0, 0, width - 1, height - 1);
    for (const XRect& area : areas) {
        const XRect r = area.Inflated(kTextMargin).Intersect(surface);
        for (int y = r.top; y <= r.bottom; ++y) {
            for (int x = r.left; x <= r.right; ++x)
                mask[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)] = true;
        }
    }
    return mask;
}

::testing::AssertionResult MatchesReference(std::span<const std::uint32_t> pixels, int width,
                                            int height, std::string_view name,
                                            std::span<const XRect> leftOut)
{
    const std::string reference = ReferencePath(name);
    if (UpdateRequested()) {
        // A reference with another rasteriser's text would fail wherever text is compared.
        if (!leftOut.empty()) {
            return ::testing::AssertionFailure()
                   << "references are drawn where text is compared too; " << reference
                   << " is left as it is";
        }
        if (!WritePng(reference, pixels, width, height)) {
            return ::testing::AssertionFailure() << "cannot write reference " << reference;
        }
        return ::testing::AssertionSuccess() << "wrote " << reference;
    }

    std::ifstream in(reference, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const std::string actualPath = FailurePath(name, "actual");
    XPic expected;
    if (bytes.empty() || !expected.LoadPng(bytes)) {
        WritePng(actualPath, pixels, width, height);
        return ::testing::AssertionFailure()
               << "no readable reference " << reference << "; the picture drawn is in "
               << actualPath << " (run with MARLET_UPDATE_REFERENCES=1 to accept it)";
    }
    if (expected.Width() != width || expected.Height() != height) {
        WritePng(actualPath, pixels, width, height);
        return ::testing::AssertionFailure()
               << name << ": size " << width << "x" << height << ", reference " << expected.Width()
               << "x" << expected.Height() << "; actual in " << actualPath;
    }

    const std::vector<bool> skipped = LeftOutMask(width, height, leftOut);
    const auto want = expected.Pixels();
    std::vector<std::uint32_t> diff(pixels.size());
    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t got = pixels[i] & 0xFFFFFFu;
        if (skipped[i]) {
            diff[i] = 0x8080FFu;
        } else if (got != want[i]) {
            if (differing++ == 0) first = i;
            diff[i] = 0xFF0000u;
        } else {
            // A faded grey copy, so the red stands out against the picture.
            const std::uint32_t grey =
                (((got >> 16 & 0xFF) + (got >> 8 & 0xFF) + (got & 0xFF)) / 3) / 3 + 170;
            diff[i] = grey << 16 | grey << 8 | grey;
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();

    WritePng(actualPath, pixels, width, height);
    const std::string diffPath = FailurePath(name, "diff");
    WritePng(diffPath, diff, width, height);
    const int fx = static_cast<int>(first % static_cast<std::size_t>(width));
    const int fy = static_cast<int>(first / static_cast<std::size_t>(width));
    ::testing::AssertionResult result = ::testing::AssertionFailure();
    result << name << ": " << differing << " pixels differ from " << reference;
    if (!leftOut.empty()) result << " outside " << leftOut.size() << " text areas";
    return result << "; first at (" << fx << ", " << fy << "): expected " << Hex(want[first])
                  << ", got " << Hex(pixels[first]) << ". Actual: " << actualPath
                  << ", difference: " << diffPath
                  << " (run with MARLET_UPDATE_REFERENCES=1 to accept the new picture)";
}

::testing::AssertionResult MatchesReference(const XGraphic& graphic, std::string_view name)
{
#ifdef _WIN32
    const std::span<const XRect> text = graphic.TextAreas();
#else
    const std::span<const XRect> text;  // the references are drawn here: compared exactly
#endif
    return MatchesReference(graphic.Pixels(), graphic.Width(), graphic.Height(), name, text);
}

}  // namespace testsupport
