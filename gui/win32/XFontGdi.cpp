// XFont's rasteriser on Windows: GDI draws the built-in Liberation Sans, installed for this
// process only (AddFontMemResourceEx), so the editor keeps Linux's font and metrics and its
// layout does not move; GDI's hinting differs, so only the insides of text areas do.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "gui/XFont.h"

namespace {

constexpr wchar_t kFamily[] = L"Liberation Sans";

// The fonts added to the process, one per file. Every face keeps them, so they are removed only
// after the last face is deleted, whatever the order in which statics go.
struct PrivateFonts {
    std::map<const std::uint8_t*, HANDLE> added;
    ~PrivateFonts()
    {
        for (const auto& [data, handle] : added) RemoveFontMemResourceEx(handle);
    }
    bool Add(std::span<const std::uint8_t> data)
    {
        if (added.contains(data.data())) return true;
        DWORD count = 0;
        HANDLE handle = AddFontMemResourceEx(const_cast<std::uint8_t*>(data.data()),
                                             static_cast<DWORD>(data.size()), nullptr, &count);
        if (!handle || count == 0) return false;
        added.emplace(data.data(), handle);
        return true;
    }
};

// A big-endian field of one of the font's tables; nothing when the table is not there.
std::optional<int> TableField(HDC dc, const char (&tag)[5], DWORD offset, bool isSigned)
{
    const DWORD table = static_cast<DWORD>(tag[0]) | static_cast<DWORD>(tag[1]) << 8 |
                        static_cast<DWORD>(tag[2]) << 16 | static_cast<DWORD>(tag[3]) << 24;
    BYTE bytes[2] {};
    if (GetFontData(dc, table, offset, bytes, sizeof bytes) != sizeof bytes) return std::nullopt;
    const int value = bytes[0] << 8 | bytes[1];
    return isSigned && value >= 0x8000 ? value - 0x10000 : value;
}

// The font's em square and its cell above and below the baseline, in font units: Windows'
// winAscent and winDescent, or the horizontal header's when the OS/2 table has none.
struct CellUnits {
    int em = 0;
    int ascent = 0;
    int descent = 0;
};

std::optional<CellUnits> ReadCellUnits(HDC dc)
{
    CellUnits units;
    units.em = TableField(dc, "head", 18, false).value_or(0);
    const auto winAscent = TableField(dc, "OS/2", 74, false);
    const auto winDescent = TableField(dc, "OS/2", 76, false);
    if (winAscent && winDescent && *winAscent + *winDescent > 0) {
        units.ascent = *winAscent;
        units.descent = *winDescent;
    } else {
        units.ascent = TableField(dc, "hhea", 4, true).value_or(0);
        units.descent = -TableField(dc, "hhea", 6, true).value_or(0);
    }
    if (units.em <= 0 || units.ascent + units.descent <= 0) return std::nullopt;
    return units;
}

HFONT MakeGdiFont(int height, bool bold)
{
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS,
                       ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, kFamily);
}

}  // namespace

struct XFont::Face {
    std::shared_ptr<PrivateFonts> fonts;  // declared first, so it goes last
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previous = nullptr;
    std::vector<BYTE> scratch;
    ~Face()
    {
        if (dc && previous) SelectObject(dc, previous);
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
    }
};

void XFont::FaceDeleter::operator()(Face* face) const
{
    delete face;
}

XFont::FacePtr XFont::OpenFace(std::span<const std::uint8_t> data, int cellHeight, bool bold,
                               int& ascent)
{
    // Callers hold the registry's lock.
    static std::weak_ptr<PrivateFonts> shared;
    std::shared_ptr<PrivateFonts> fonts = shared.lock();
    if (!fonts) {
        fonts = std::make_shared<PrivateFonts>();
        shared = fonts;
    }
    if (!fonts->Add(data)) return nullptr;
    FacePtr face(new Face);
    face->fonts = fonts;
    face->dc = CreateCompatibleDC(nullptr);
    if (!face->dc) return nullptr;
    // The em and the ascent are FreeType's side's, not GDI's: asked for a cell (a positive
    // height), GDI takes a smaller em whenever the rounded one would make the cell a pixel
    // taller (12 pixels instead of 13 for a 14-pixel cell), and it rounds the ascent from the
    // em, not from the cell. Either would move text and what is laid out by its width.
    const HFONT probe = MakeGdiFont(cellHeight, bold);
    if (!probe) return nullptr;
    const HGDIOBJ before = SelectObject(face->dc, probe);
    const std::optional<CellUnits> units = ReadCellUnits(face->dc);
    SelectObject(face->dc, before);
    DeleteObject(probe);
    if (!units) return nullptr;
    const std::int64_t total = units->ascent + units->descent;
    // The em in 26.6 pixels as FreeType's side requests it, rounded to whole pixels as FreeType
    // does for hinted TrueType fonts.
    const std::int64_t em64 = (std::int64_t {cellHeight} * 64 * units->em + total / 2) / total;
    const int em = static_cast<int>(std::max<std::int64_t>((em64 + 32) >> 6, 1));
    face->font = MakeGdiFont(-em, bold);  // a negative height asks for the em
    if (!face->font) return nullptr;
    face->previous = SelectObject(face->dc, face->font);
    if (!face->previous) return nullptr;
    ascent = static_cast<int>((std::int64_t {cellHeight} * units->ascent + total / 2) / total);
    return face;
}

void XFont::Render(Face& face, char32_t code, Glyph& glyph)
{
    // GetGlyphOutlineW takes one UTF-16 unit: characters beyond it show as the replacement.
    const UINT unit = code > 0xFFFF ? 0xFFFD : static_cast<UINT>(code);
    const MAT2 identity {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics {};
    const DWORD size =
        GetGlyphOutlineW(face.dc, unit, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR) return;
    glyph.advance = metrics.gmCellIncX;
    // Blank glyphs (a space) have no bitmap.
    if (size == 0 || metrics.gmBlackBoxX == 0 || metrics.gmBlackBoxY == 0) return;
    face.scratch.resize(size);
    if (GetGlyphOutlineW(face.dc, unit, GGO_GRAY8_BITMAP, &metrics, size, face.scratch.data(),
                         &identity) == GDI_ERROR)
        return;
    const int width = static_cast<int>(metrics.gmBlackBoxX);
    const int rows = static_cast<int>(metrics.gmBlackBoxY);
    const std::size_t pitch = (static_cast<std::size_t>(width) + 3) & ~std::size_t {3};
    if (pitch * static_cast<std::size_t>(rows) > size) return;
    glyph.left = metrics.gmptGlyphOrigin.x;
    glyph.top = metrics.gmptGlyphOrigin.y;
    glyph.width = width;
    glyph.rows = rows;
    glyph.coverage.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows));
    // GDI's grey levels run from 0 to 64.
    for (int row = 0; row < rows; ++row) {
        const BYTE* source = face.scratch.data() + pitch * static_cast<std::size_t>(row);
        std::uint8_t* out = glyph.coverage.data() + static_cast<std::size_t>(row) * width;
        for (int col = 0; col < width; ++col)
            out[col] = static_cast<std::uint8_t>((std::min<int>(source[col], 64) * 255 + 32) / 64);
    }
}
