// XFont's rasteriser on Windows: GDI draws the built-in Liberation Sans, installed for this
// process only (AddFontMemResourceEx), so the editor keeps Linux's font and metrics and its
// layout does not move; GDI's hinting differs, so only the insides of text areas do.
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
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
    // A positive height asks for the cell (winAscent + winDescent), as FreeType's side does.
    face->font = CreateFontW(cellHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, kFamily);
    if (!face->font) return nullptr;
    face->previous = SelectObject(face->dc, face->font);
    TEXTMETRICW metrics {};
    if (!face->previous || !GetTextMetricsW(face->dc, &metrics)) return nullptr;
    ascent = metrics.tmAscent;
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
