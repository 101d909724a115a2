// XFont's rasteriser on Linux: FreeType, hinted, grey antialiased.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <memory>

#include "gui/XFont.h"

namespace {

// One FreeType library for all faces; every face keeps it alive, so the library goes only after
// its last face, whatever the order in which statics are destroyed.
struct Library {
    FT_Library library = nullptr;
    ~Library()
    {
        if (library) FT_Done_FreeType(library);
    }
};

std::shared_ptr<Library> TheLibrary()
{
    static std::weak_ptr<Library> shared;
    if (auto existing = shared.lock()) return existing;
    auto made = std::make_shared<Library>();
    if (FT_Init_FreeType(&made->library) != 0) {
        made->library = nullptr;
        return nullptr;
    }
    shared = made;
    return made;
}

}  // namespace

struct XFont::Face {
    std::shared_ptr<Library> library;
    FT_Face face = nullptr;
    ~Face()
    {
        if (face) FT_Done_Face(face);
    }
};

void XFont::FaceDeleter::operator()(Face* face) const
{
    delete face;
}

XFont::FacePtr XFont::OpenFace(std::span<const std::uint8_t> data, int cellHeight, bool,
                               int& ascentPixels)
{
    FacePtr owned(new Face);
    owned->library = TheLibrary();
    if (!owned->library) return nullptr;
    if (FT_New_Memory_Face(owned->library->library, data.data(), static_cast<FT_Long>(data.size()),
                           0, &owned->face) != 0) {
        owned->face = nullptr;
        return nullptr;
    }
    FT_Face face = owned->face;
    // Windows sizes a font by its cell, winAscent + winDescent, not by its em.
    long ascent = face->ascender;
    long descent = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    const long total = ascent + descent;
    if (total <= 0 || face->units_per_EM == 0) return nullptr;
    FT_Size_RequestRec request {};
    request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height =
        (static_cast<FT_Long>(cellHeight) * 64 * face->units_per_EM + total / 2) / total;
    if (FT_Request_Size(face, &request) != 0) return nullptr;
    ascentPixels = static_cast<int>((cellHeight * ascent + total / 2) / total);
    return owned;
}

void XFont::Render(Face& owned, char32_t code, Glyph& glyph)
{
    FT_Face face = owned.face;
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
        return;
    const FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || !bitmap.buffer || bitmap.width == 0 ||
        bitmap.rows == 0)
        return;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) *
                          static_cast<std::size_t>(glyph.rows));
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source =
            bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        std::copy_n(source, glyph.width,
                    glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
    }
}
