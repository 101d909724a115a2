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
        c.PixelArrow(5, 10, 0, 1, 5, arrow);
    } else {
        c.PixelArrow(7, 8, 1, 0, 5, arrow);
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

// A sheet with its top-right corner folded down, pixel by pixel.
void Sheet(SkinCanvas& c)
{
    XGraphic& g = c.G();
    for (int y = 0; y < kSize; ++y) {
        for (int x = 2; x <= 13; ++x) {
            const int d = x - 9 - y;  // > 0 beyond the fold's diagonal
            if (d > 0) continue;
            const bool edge = x == 2 || x == 13 || y == 0 || y == 15 || d == 0;
            const bool flap = x >= 9 && y <= 4;
            const bool flapEdge = flap && (x == 9 || y == 4);
            XColor colour = SkinCanvas::Mix(kPaper, kPaperShade, y / 16.0f);
            if (flap) colour = XColor(206, 210, 218);
            if (edge || flapEdge) colour = kOutline;
            g.SetFillColor(colour);
            g.FillRect(x, y, 1, 1);
            c.Cover(XRect(x, y, x, y));
        }
    }
}

SkinBitmap GigFile()
{
    SkinCanvas c = Blank();
    Sheet(c);
    // A level meter of a sound across the sheet, in the accent.
    const int heights[] {3, 6, 9, 5, 7, 3};
    c.G().SetFillColor(XColor(222, 132, 28));
    for (int i = 0; i < 6; ++i) {
        const int h = heights[i];
        c.G().FillRect(4 + i * 1 + i, 13 - h, 1, h);
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
