// A text face at one pixel size: Liberation Sans Regular or Bold (built into the library),
// hinted, grey antialiased. Fonts are shared process-wide: Get with the same cell height and
// weight returns the same object, so asking again creates nothing. Text is UTF-8; invalid
// bytes show as U+FFFD. Any thread may use a font; one font renders on one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gui/XRect.h"

class XFont {
public:
    // Cell heights outside this range are refused.
    static constexpr int kMinCellHeight = 1;
    static constexpr int kMaxCellHeight = 400;

    // The font whose cell (ascent + descent) is `cellHeight` pixels; null when the height is
    // out of range or the font data do not load.
    static std::shared_ptr<XFont> Get(int cellHeight, bool bold);
    // How many fonts were created in this process (for the cache's tests).
    static int CreatedCount();

    ~XFont();
    XFont(const XFont&) = delete;
    XFont& operator=(const XFont&) = delete;

    int CellHeight() const { return cellHeight_; }
    int Ascent() const { return ascent_; }
    bool IsBold() const { return bold_; }

    // The advance width of the text in pixels.
    int Measure(std::string_view utf8);
    // The advance width of every code point (for word wrapping and caret positions).
    void Advances(std::string_view utf8, std::vector<int>& out);

    // Draws the text with the top of its cell at (x, top) into a surface of `width` x `height`
    // pixels (stride = width), touching only pixels inside `clip` (surface coordinates, inside
    // the surface). Coverage blends `rgb` (0x00RRGGBB) over the pixels.
    void Draw(std::span<std::uint32_t> pixels, int width, int height, const XRect& clip,
              std::int64_t x, std::int64_t top, std::uint32_t rgb, std::string_view utf8);

    // Decodes one code point at `pos` and advances it; invalid or cut sequences give U+FFFD
    // and consume one byte.
    static char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);

    struct Face;  // the rasteriser's face, private to its source

private:
    struct Glyph {
        int advance = 0;
        int left = 0;  // bitmap's offset from the pen
        int top = 0;   // bitmap's rows above the baseline
        int width = 0;
        int rows = 0;
        std::vector<std::uint8_t> coverage;
    };

    struct FaceDeleter {
        void operator()(Face* face) const;
    };
    using FacePtr = std::unique_ptr<Face, FaceDeleter>;

    // The rasteriser's half: FreeType on Linux (XFontFreeType.cpp), GDI on Windows
    // (win32/XFontGdi.cpp). OpenFace sizes `data` (a TrueType file) so that its cell, Windows'
    // winAscent + winDescent, is `cellHeight` pixels and sets `ascent`; null when it does not
    // load. Callers hold the registry's lock. Render fills in one glyph (empty coverage and
    // advance 0 when the face has nothing for the code); callers hold the font's lock.
    static FacePtr OpenFace(std::span<const std::uint8_t> data, int cellHeight, bool bold,
                            int& ascent);
    static void Render(Face& face, char32_t code, Glyph& glyph);

    XFont(FacePtr face, int cellHeight, int ascent, bool bold);
    const Glyph& GlyphOf(char32_t code);

    FacePtr face_;
    int cellHeight_;
    int ascent_;
    bool bold_;
    std::mutex mutex_;  // the face and the glyph cache
    std::unordered_map<char32_t, Glyph> glyphs_;

    friend struct XFontRegistry;
};
