// Keys are painted where the keyboard control hits them (SkinLayout's key geometry): white keys
// on a 15-pixel grid from note 21 with a dark line on their left, black keys over the upper 49
// rows. The last column closes the last key.
#include "tools/marlet-skin/KeyboardArt.h"

#include "tools/marlet-skin/SkinCanvas.h"
#include "tools/marlet-skin/SkinLayout.h"
#include "tools/marlet-skin/SkinPalette.h"

namespace skinart {

namespace {

using namespace palette;
using layout::kKeyboardHeight;
using layout::kKeyboardWidth;

void WhiteKey(SkinCanvas& c, int x)
{
    XGraphic& g = c.G();
    constexpr int h = kKeyboardHeight;
    g.SetPen(kKeyGap);
    g.Line(x, 0, x, h - 1);
    // The key's top under the felt is a little shaded; the front is lit; the tip rounds off.
    g.Gradient(XRect(x + 1, 0, x + 14, h - 10), kKeyWhiteTop, kKeyWhiteBottom);
    g.Gradient(XRect(x + 1, h - 9, x + 14, h - 4), XColor(244, 244, 240), XColor(226, 226, 222));
    g.Gradient(XRect(x + 1, h - 3, x + 14, h - 1), XColor(196, 196, 192), XColor(120, 120, 118));
    g.SetPen(XColor(255, 255, 255));
    g.Line(x + 1, 4, x + 1, h - 10);
    g.SetPen(XColor(200, 200, 196));
    g.Line(x + 14, 2, x + 14, h - 4);
    // Rounded corners at the tip.
    g.SetFillColor(kKeyGap.Scaled(1.4f));
    g.FillRect(x + 1, h - 1, 1, 1);
    g.FillRect(x + 14, h - 1, 1, 1);
}

void BlackKey(SkinCanvas& c, int x)
{
    XGraphic& g = c.G();
    constexpr int len = layout::kBlackKeyLength;
    constexpr int w = layout::kBlackKeyWidth;
    // A soft shadow on the white keys to the right and below.
    g.SetFillColor(XColor(150, 150, 148));
    g.FillRect(x + w, 2, 1, len - 1);
    g.SetFillColor(XColor(180, 180, 176));
    g.FillRect(x + 1, len, w, 1);
    // The body, its sides lit a little, and the sloped front face with a highlight.
    g.SetFillColor(kKeyBlack);
    g.FillRect(x, 0, w, len);
    g.Gradient(XRect(x + 1, 0, x + w - 2, len - 9), XColor(30, 30, 32), XColor(44, 44, 48));
    g.SetPen(XColor(70, 70, 74));
    g.Line(x + 1, 0, x + 1, len - 9);
    g.SetPen(XColor(12, 12, 12));
    g.Line(x + w - 1, 0, x + w - 1, len - 1);
    g.Gradient(XRect(x + 1, len - 8, x + w - 2, len - 2), XColor(86, 86, 92), XColor(36, 36, 40));
    g.SetPen(XColor(120, 120, 126));
    g.Line(x + 1, len - 8, x + w - 2, len - 8);
    g.SetPen(XColor(8, 8, 8));
    g.Line(x, len - 1, x + w - 1, len - 1);
}

SkinBitmap DrawKeyboard()
{
    SkinCanvas c(kKeyboardWidth, kKeyboardHeight);
    for (int note = layout::kFirstNote; note <= layout::kLastNote; ++note) {
        if (!layout::IsBlackKey(note)) WhiteKey(c, layout::KeyLeft(note));
    }
    c.G().SetPen(kKeyGap);
    c.G().Line(kKeyboardWidth - 1, 0, kKeyboardWidth - 1, kKeyboardHeight - 1);
    for (int note = layout::kFirstNote; note <= layout::kLastNote; ++note) {
        if (layout::IsBlackKey(note)) BlackKey(c, layout::KeyLeft(note));
    }
    // The felt's shadow across the top.
    for (int x = 0; x < kKeyboardWidth; ++x) {
        c.Blend(x, 0, XColor(0, 0, 0), 0.45f);
        c.Blend(x, 1, XColor(0, 0, 0), 0.2f);
    }
    return c.Finish("keyboard.png");
}

SkinBitmap DrawKeyPane()
{
    constexpr int w = 800, h = 88;
    SkinCanvas c(w, h);
    XGraphic& g = c.G();
    g.Gradient(XRect(0, 0, w - 1, h - 1), XColor(54, 54, 54), XColor(30, 30, 30));
    g.SetPen(XColor(14, 14, 14));
    g.Line(0, 0, w - 1, 0);
    g.SetPen(XColor(78, 78, 78));
    g.Line(0, 1, w - 1, 1);
    // The keyboard's bed: a dark recess a pixel around the keys, a strip of felt along the top.
    const int kx = layout::kKeyPaneKeyboardX, ky = layout::kKeyPaneKeyboardY;
    const XRect bed(kx - 2, ky - 2, kx + kKeyboardWidth + 1, ky + kKeyboardHeight + 1);
    g.SetFillColor(XColor(8, 8, 8));
    g.FillRect(bed.left, bed.top, bed.Width(), bed.Height());
    g.SetPen(XColor(84, 84, 84));
    g.Line(bed.left, bed.bottom, bed.right, bed.bottom);
    g.Line(bed.right, bed.top, bed.right, bed.bottom);
    g.SetFillColor(kFelt);
    g.FillRect(kx - 1, ky - 1, kKeyboardWidth + 1, 1);
    return c.Finish("key_pane.png");
}

}  // namespace

void AddKeyboardArt(std::vector<SkinBitmap>& out)
{
    out.push_back(DrawKeyboard());
    out.push_back(DrawKeyPane());
}

}  // namespace skinart
