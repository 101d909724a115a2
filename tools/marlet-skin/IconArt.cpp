#include "tools/marlet-skin/IconArt.h"

#include <cmath>

#include "tools/marlet-skin/SkinCanvas.h"
#include "tools/marlet-skin/SkinPalette.h"

namespace skinart {

namespace {

using namespace palette;

constexpr int kSize = 16;
constexpr XColor kOutline(22, 24, 30);
constexpr XColor kFolder(226, 178, 84);
constexpr XColor kFolderDark(178, 126, 46);
constexpr XColor kPaper(232, 234, 238);
constexpr XColor kPaperShade(188, 192, 200);
constexpr XColor kSteel(150, 156, 168);

SkinCanvas Blank()
{
    return SkinCanvas(kSize, kSize,
                      std::vector<std::uint32_t>(kSize * kSize, kBrowserList.Pixel()));
}

// An outlined rounded box: the outline, then the face inside it.
void Box(SkinCanvas& c, float l, float t, float r, float b, float radius, XColor top, XColor bottom)
{
    c.RoundRect(l, t, r, b, radius, kOutline);
    c.RoundRectGradient(l + 1, t + 1, r - 1, b - 1, std::max(radius - 1, 0.0f), top, bottom);
}

SkinBitmap Folder()
{
    SkinCanvas c = Blank();
    Box(c, 0.5f, 2, 7.5f, 6, 1.0f, kFolderDark, kFolderDark);
    Box(c, 0.5f, 4, 15.5f, 14.5f, 1.2f, kFolder, kFolderDark);
    c.G().SetPen(XColor(246, 214, 140));
    c.G().Line(2, 5, 14, 5);
    return c.Finish("icn_folder.png");
}

// The tree's expanders sit in the first 10 pixels of a row; the icon starts at 14.
SkinBitmap Expander(bool open)
{
    SkinCanvas c = Blank();
    const XColor arrow(206, 210, 220);
    if (open) {
        c.Triangle(1.0f, 5.5f, 9.0f, 5.5f, 5.0f, 10.5f, arrow);
    } else {
        c.Triangle(3.0f, 3.5f, 3.0f, 12.5f, 8.0f, 8.0f, arrow);
    }
    return c.Finish(open ? "icn_open.png" : "icn_closed.png");
}

SkinBitmap Computer()
{
    SkinCanvas c = Blank();
    Box(c, 0.5f, 1, 15.5f, 11.5f, 1.2f, kSteel, XColor(110, 116, 128));
    c.RoundRectGradient(2, 2.5f, 14, 10, 0.5f, XColor(70, 120, 170), XColor(30, 60, 100));
    c.Triangle(3, 3.5f, 9, 3.5f, 3, 7.5f, XColor(110, 160, 210));
    c.RoundRect(6, 11, 10, 14, 0.0f, kOutline);
    Box(c, 3, 13, 13, 15.5f, 1.0f, kSteel, XColor(110, 116, 128));
    return c.Finish("icn_comp.png");
}

SkinBitmap Drive()
{
    SkinCanvas c = Blank();
    Box(c, 0.5f, 4, 15.5f, 12.5f, 2.0f, XColor(186, 190, 198), XColor(120, 126, 136));
    c.G().SetPen(XColor(96, 100, 110));
    c.G().Line(2, 9, 13, 9);
    c.Disc(12.5f, 10.8f, 1.2f, XColor(90, 230, 120));
    c.G().SetPen(XColor(220, 224, 230));
    c.G().Line(2, 5, 13, 5);
    return c.Finish("icn_disk.png");
}

// A sheet with a folded corner.
void Sheet(SkinCanvas& c)
{
    c.Shape(
        XRect(0, 0, 15, 15),
        [](float x, float y) {
            const float box = SkinCanvas::RoundRectDistance(x, y, 2, 0.5f, 14, 15.5f, 1.0f);
            const float corner = ((x - 10) - (y - 0.5f)) / 1.41421f - 2.1f;
            return std::max(box, corner);
        },
        [](float, float) { return kOutline; });
    c.Shape(
        XRect(0, 0, 15, 15),
        [](float x, float y) {
            const float box = SkinCanvas::RoundRectDistance(x, y, 3, 1.5f, 13, 14.5f, 0.5f);
            const float corner = ((x - 10) - (y - 1.5f)) / 1.41421f - 1.4f;
            return std::max(box, corner);
        },
        [](float, float y) { return SkinCanvas::Mix(kPaper, kPaperShade, y / 16); });
    c.Triangle(9.5f, 1.0f, 9.5f, 5.5f, 14.0f, 5.5f, kPaperShade.Scaled(0.8f));
}

SkinBitmap GigFile()
{
    SkinCanvas c = Blank();
    Sheet(c);
    // A waveform band across the sheet in the accent.
    float px = 4.0f, py = 10.0f;
    for (float x = 4.5f; x <= 12.0f; x += 0.5f) {
        const float y = 10.0f - std::sin((x - 4.0f) * 1.6f) * 2.6f * (1.0f - (x - 4.0f) / 10.0f);
        c.ThickLine(px, py, x, y, 1.3f, XColor(214, 120, 20));
        px = x;
        py = y;
    }
    return c.Finish("icn_gig.png");
}

// An instrument: a small keyboard of five white keys and their black keys.
SkinBitmap Instrument()
{
    SkinCanvas c = Blank();
    c.RoundRect(0.5f, 3, 15.5f, 13.5f, 1.0f, kOutline);
    c.RoundRectGradient(1.5f, 4, 14.5f, 12.5f, 0.5f, kPaperShade, kPaper);
    for (int i = 1; i < 5; ++i) {
        c.G().SetPen(XColor(110, 114, 122));
        c.G().Line(1 + i * 3, 4, 1 + i * 3, 12);
    }
    for (const int x : {3, 6, 12}) c.RoundRect(x, 4, x + 2, 9, 0.3f, kOutline);
    c.G().SetPen(kAccent);
    c.G().Line(1, 3, 14, 3);
    return c.Finish("icn_inst.png");
}

}  // namespace

void AddIconArt(std::vector<SkinBitmap>& out)
{
    out.push_back(Expander(false));
    out.push_back(Computer());
    out.push_back(Drive());
    out.push_back(Folder());
    out.push_back(GigFile());
    out.push_back(Instrument());
    out.push_back(Expander(true));
}

}  // namespace skinart
