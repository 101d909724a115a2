// Toolbar buttons are full rectangles drawn over the part of the background they cover. Their
// icons are in the accent colour and everything else is neutral grey, so the idle (greyed) and
// pressed (saturated) copies the button derives differ only in the icon.
#include "tools/marlet-skin/ToolbarArt.h"

#include <cmath>
#include <string>

#include "tools/marlet-skin/SkinCanvas.h"
#include "tools/marlet-skin/SkinLayout.h"
#include "tools/marlet-skin/SkinPalette.h"

namespace skinart {

namespace {

using namespace palette;

constexpr float kPi = 3.14159265f;
constexpr int kBackHeight = 49;
constexpr float kStroke = 1.7f;
// The icon's box inside a button: 24 x 24 pixels, centred above the label.
constexpr float kIconL = 17.5f, kIconT = 4.0f;

// Icon colours: the outline and a dim fill, both amber so that greying turns them neutral.
constexpr XColor kLine = kAccent;
constexpr XColor kFill(92, 62, 24);
constexpr XColor kFillLight(140, 94, 36);

SkinBitmap DrawBack()
{
    SkinCanvas c(layout::kToolbarWidth, kBackHeight);
    XGraphic& g = c.G();
    g.Gradient(XRect(0, 0, layout::kToolbarWidth - 1, 47), XColor(66, 66, 66), XColor(40, 40, 40));
    g.SetPen(kPanelHighlight);
    g.Line(0, 0, layout::kToolbarWidth - 1, 0);
    g.SetPen(XColor(50, 50, 50));
    g.Line(0, 46, layout::kToolbarWidth - 1, 46);
    g.SetPen(kPanelShadow);
    g.Line(0, 47, layout::kToolbarWidth - 1, 47);
    g.SetFillColor(XColor(8, 8, 8));
    g.FillRect(0, 48, layout::kToolbarWidth, 1);
    // A groove between the commands and the logo.
    const int x = layout::kButtonX0 + 9 * layout::kButtonPitch + 4;
    g.SetPen(XColor(28, 28, 28));
    g.Line(x, 6, x, 41);
    g.SetPen(XColor(74, 74, 74));
    g.Line(x + 1, 6, x + 1, 41);
    return c.Finish("tb_back.png");
}

// --- Icons, in pixel-edge coordinates of the icon box.

float X(float v)
{
    return kIconL + v;
}
float Y(float v)
{
    return kIconT + v;
}

void Page(SkinCanvas& c, float l, float t, float r, float b, XColor fill)
{
    // A sheet with its top-right corner folded over.
    const float fold = 6.0f;
    c.Shape(
        XRect(static_cast<int>(X(l)) - 2, static_cast<int>(Y(t)) - 2, static_cast<int>(X(r)) + 2,
              static_cast<int>(Y(b)) + 2),
        [=](float x, float y) {
            const float box = SkinCanvas::RoundRectDistance(x, y, X(l), Y(t), X(r), Y(b), 1.5f);
            const float corner = ((x - X(r - fold)) - (y - Y(t))) / 1.41421f - fold / 1.41421f / 2;
            return std::max(box, corner);
        },
        [=](float, float) { return fill; });
    c.ThickLine(X(l + 0.8f), Y(t + 0.8f), X(r - fold), Y(t + 0.8f), kStroke, kLine);
    c.ThickLine(X(r - fold), Y(t + 0.8f), X(r - 0.8f), Y(t + fold), kStroke, kLine);
    c.ThickLine(X(r - 0.8f), Y(t + fold), X(r - 0.8f), Y(b - 0.8f), kStroke, kLine);
    c.ThickLine(X(r - 0.8f), Y(b - 0.8f), X(l + 0.8f), Y(b - 0.8f), kStroke, kLine);
    c.ThickLine(X(l + 0.8f), Y(b - 0.8f), X(l + 0.8f), Y(t + 0.8f), kStroke, kLine);
    c.ThickLine(X(r - fold), Y(t + 0.8f), X(r - fold), Y(t + fold), 1.2f, kLine);
    c.ThickLine(X(r - fold), Y(t + fold), X(r - 0.8f), Y(t + fold), 1.2f, kLine);
}

void IconNew(SkinCanvas& c)
{
    Page(c, 4, 1, 20, 23, kFill);
}

void IconOpen(SkinCanvas& c)
{
    // The folder's back with its tab, and the front flap tilted open.
    c.RoundRect(X(1), Y(4), X(10), Y(8), 1.5f, kLine);
    c.RoundRect(X(1), Y(6), X(20), Y(21), 1.5f, kLine);
    c.RoundRect(X(2.7f), Y(7.7f), X(18.3f), Y(19.3f), 0.8f, kFill);
    c.Shape(
        XRect(static_cast<int>(X(0)), static_cast<int>(Y(9)), static_cast<int>(X(24)),
              static_cast<int>(Y(22))),
        [](float x, float y) {
            // A parallelogram: its bottom edge from (1, 21) to (19, 21), its top from (5, 11)
            // to (24, 11).
            const float u = y - Y(11), v = Y(21) - y;
            const float left = X(5) - u * 0.4f - x, right = x - (X(23.5f) - u * 0.45f);
            return std::max({-u, -v, left, right});
        },
        [](float, float y) { return SkinCanvas::Mix(kAccentBright, kLine, (y - Y(11)) / 10); });
}

void Disk(SkinCanvas& c, float l, float t, float r, float b)
{
    c.Shape(
        XRect(static_cast<int>(X(l)) - 1, static_cast<int>(Y(t)) - 1, static_cast<int>(X(r)) + 1,
              static_cast<int>(Y(b)) + 1),
        [=](float x, float y) {
            const float box = SkinCanvas::RoundRectDistance(x, y, X(l), Y(t), X(r), Y(b), 2.0f);
            // The clipped top-right corner.
            const float corner = ((x - X(r)) + (Y(t) - y)) / 1.41421f + 2.5f;
            return std::max(box, corner);
        },
        [](float, float) { return kLine; });
    const float w = r - l;
    // The shutter and the label.
    c.RoundRect(X(l + w * 0.25f), Y(t + 1.8f), X(r - w * 0.28f), Y(t + 7.5f), 1.0f, kFill);
    c.RoundRect(X(l + w * 0.56f), Y(t + 2.8f), X(l + w * 0.66f), Y(t + 6.5f), 0.5f, kLine);
    c.RoundRect(X(l + 2.5f), Y(b - 9.5f), X(r - 2.5f), Y(b - 1.8f), 1.0f, XColor(60, 44, 26));
    c.ThickLine(X(l + 5), Y(b - 6.8f), X(r - 5), Y(b - 6.8f), 1.0f, kFillLight);
    c.ThickLine(X(l + 5), Y(b - 4.3f), X(r - 5), Y(b - 4.3f), 1.0f, kFillLight);
}

void IconSave(SkinCanvas& c)
{
    Disk(c, 2, 2, 22, 22);
}

void IconSaveAs(SkinCanvas& c)
{
    Disk(c, 0, 1, 18, 19);
    // A pencil across the corner, with a dark outline to part it from the disk.
    const XColor edge(36, 36, 36);
    c.ThickLine(X(11), Y(22), X(22.5f), Y(10.5f), 5.6f, edge);
    c.ThickLine(X(12.5f), Y(20.5f), X(22), Y(11), 3.2f, kAccentBright);
    c.ThickLine(X(20), Y(13), X(22), Y(11), 3.2f, kLine);
    c.Shape(
        XRect(static_cast<int>(X(9)), static_cast<int>(Y(18)), static_cast<int>(X(14)),
              static_cast<int>(Y(24))),
        [](float x, float y) {
            // The tip: a small triangle at the lower left.
            const float d1 = (x - X(10)) * -0.7f + (y - Y(23)) * 0.7f;
            const float d2 = ((x - X(10.3f)) + (y - Y(19))) / 1.41421f - 2.8f;
            return std::max({d1 - 0.1f, d2, -(x - X(9.6f) + (Y(23) - y) * 0.1f)});
        },
        [](float, float) { return kLine; });
}

void IconReset(SkinCanvas& c)
{
    // A circle turning clockwise from the top, open at the upper left where its head points.
    const float cx = X(12), cy = Y(12.5f), r = 7.4f;
    const float a0 = -kPi * 0.5f, a1 = kPi * 1.5f - 1.05f;
    c.Arc(cx, cy, r - 1.0f, r + 1.0f, a0, a1, kLine);
    const float px = cx + std::cos(a1) * r, py = cy + std::sin(a1) * r;
    const float tx = -std::sin(a1), ty = std::cos(a1);  // along the turn
    const float nx = std::cos(a1), ny = std::sin(a1);   // outwards
    c.Triangle(px + tx * 5.0f, py + ty * 5.0f, px + nx * 4.2f - tx * 0.5f,
               py + ny * 4.2f - ty * 0.5f, px - nx * 4.2f - tx * 0.5f, py - ny * 4.2f - ty * 0.5f,
               kLine);
}

void IconBrowse(SkinCanvas& c)
{
    // A list with a magnifier over it.
    for (int i = 0; i < 4; ++i) {
        const float y = Y(3.5f + i * 5.0f);
        c.RoundRect(X(0.5f), y - 1.2f, X(3), y + 1.2f, 0.8f, kLine);
        c.ThickLine(X(5.5f), y, X(i % 2 ? 12 : 15), y, 1.8f, kFillLight);
    }
    const float cx = X(14.5f), cy = Y(11);
    c.Disc(cx, cy, 6.2f, XColor(54, 40, 22));
    c.Ring(cx, cy, 5.0f, 7.0f, kLine);
    c.ThickLine(cx + 5.2f, cy + 5.2f, X(22.5f), Y(21.5f), 3.4f, kLine);
    c.Arc(cx, cy, 2.6f, 3.6f, kPi * 1.05f, kPi * 1.45f, kAccentBright);
}

void IconStack(SkinCanvas& c)
{
    // Three sheets seen at an angle, the top one lit.
    for (int i = 2; i >= 0; --i) {
        const float oy = Y(5.0f + i * 5.0f);
        const XColor fill = i == 0 ? kFillLight : kFill;
        c.Shape(
            XRect(static_cast<int>(X(-1)), static_cast<int>(oy) - 6, static_cast<int>(X(25)),
                  static_cast<int>(oy) + 7),
            [=](float x, float y) {
                // A rhombus around (12, oy): half-width 11, half-height 5.
                const float dx = std::abs(x - X(12)) / 11.0f, dy = std::abs(y - oy) / 5.0f;
                return (dx + dy - 1.0f) * 4.4f;
            },
            [=](float, float) { return kLine; });
        c.Shape(
            XRect(static_cast<int>(X(-1)), static_cast<int>(oy) - 6, static_cast<int>(X(25)),
                  static_cast<int>(oy) + 7),
            [=](float x, float y) {
                const float dx = std::abs(x - X(12)) / 11.0f, dy = std::abs(y - oy) / 5.0f;
                return (dx + dy - 1.0f) * 4.4f + 1.8f;
            },
            [=](float, float) { return fill; });
    }
}

void IconSettings(SkinCanvas& c)
{
    // A gear of eight teeth around a hole.
    const float cx = X(12), cy = Y(12);
    c.Shape(
        XRect(static_cast<int>(X(0)), static_cast<int>(Y(0)), static_cast<int>(X(24)),
              static_cast<int>(Y(24))),
        [=](float x, float y) {
            const float dx = x - cx, dy = y - cy;
            const float r = std::hypot(dx, dy);
            const float a = std::atan2(dy, dx) * 8.0f / (2 * kPi);
            const float f = std::abs(a - std::round(a));  // 0 at a tooth's middle, 0.5 between
            const float tooth = std::clamp((0.3f - f) * 9.0f, 0.0f, 1.0f);
            const float outer = 8.0f + 2.8f * tooth;
            return std::max(r - outer, 3.4f - r);
        },
        [](float, float) { return kLine; });
    c.Ring(cx, cy, 5.0f, 6.4f, kFill);
}

void IconExpand(SkinCanvas& c)
{
    // Arrows apart from a middle bar: show everything.
    const float cx = X(12);
    c.ThickLine(X(3), Y(12), X(21), Y(12), 2.0f, kFillLight);
    for (const float dir : {-1.0f, 1.0f}) {
        const float tip = Y(12) + dir * 11.0f;
        const float base = Y(12) + dir * 3.5f;
        c.ThickLine(cx, base, cx, tip - dir * 1.5f, 2.2f, kLine);
        c.ThickLine(cx - 5.5f, tip - dir * 5.0f, cx, tip, 2.2f, kLine);
        c.ThickLine(cx + 5.5f, tip - dir * 5.0f, cx, tip, 2.2f, kLine);
    }
}

struct ButtonArt {
    const char* name;
    const char* label;
    void (*icon)(SkinCanvas&);
};

constexpr ButtonArt kButtons[] {
    {"tb_new.png", "New", IconNew},
    {"tb_open.png", "Open", IconOpen},
    {"tb_save.png", "Save", IconSave},
    {"tb_saveas.png", "Save As", IconSaveAs},
    {"tb_browse.png", "Browse", IconBrowse},
    {"tb_stack.png", "Stack", IconStack},
    {"tb_settings.png", "Settings", IconSettings},
    {"tb_expand.png", "Expand", IconExpand},
    {"tb_reset.png", "Reset", IconReset},
};

SkinBitmap DrawButton(const SkinBitmap& back, const ButtonArt& art)
{
    constexpr int w = 60, h = 44;
    SkinCanvas c(w, h, CropPixels(back, layout::kButtonX0, layout::kButtonY, w, h));
    // A quiet plate: a touch lighter than the bar, a lit top edge and a dark outline.
    c.RoundRectGradient(1, 0, 58, 43, 4.5f, XColor(30, 30, 30), XColor(22, 22, 22));
    c.RoundRectGradient(2, 1, 57, 42, 3.5f, XColor(76, 76, 76), XColor(46, 46, 46));
    c.RoundRectGradient(2, 2, 57, 42, 3.5f, XColor(64, 64, 64), XColor(44, 44, 44));
    art.icon(c);
    c.Label(art.label, XRect(0, 29, w - 2, 41), kLabelBright, 8, false);
    c.MakeOpaque();
    return c.Finish(art.name);
}

SkinBitmap DrawLogo(const SkinBitmap& back)
{
    constexpr int w = 142, h = 39;
    SkinCanvas c(w, h, CropPixels(back, layout::kLogoX, layout::kLogoY, w, h));
    // The emblem: an amber disc with a dark sine wave through it, a sampled sound.
    const float cx = 19.5f, cy = 19.5f, r = 14.5f;
    c.Disc(cx, cy + 1, r, XColor(26, 26, 26));
    c.ShadedDisc(cx, cy, r, kAccentBright, XColor(214, 120, 24));
    c.Ring(cx, cy, r - 1.2f, r, XColor(255, 226, 160));
    const XColor wave(40, 26, 10);
    float px = cx - r + 3.5f, py = cy;
    for (float x = px + 0.5f; x <= cx + r - 3.5f; x += 0.5f) {
        const float t = (x - (cx - r + 3.5f)) / (2 * r - 7);
        const float y = cy - std::sin(t * 2 * kPi) * 6.5f * std::sin(t * kPi);
        c.ThickLine(px, py, x, y, 2.4f, wave);
        px = x;
        py = y;
    }
    c.Label("Marlet", XRect(38, 1, w - 4, 28), XColor(236, 236, 236), 21, true);
    // The subtitle, spaced out letter by letter.
    const std::string sub = "SAMPLER";
    XGraphic& g = c.G();
    g.MakeFont(7, 0);
    g.SetTextColor(kAccent);
    int x = 43;
    for (char ch : sub) {
        const std::string s(1, ch);
        g.Text(s, x, 30);
        x += g.TextSize(s).Width() + 4;
    }
    c.MakeOpaque();
    return c.Finish("tb_marlet.png");
}

}  // namespace

void AddToolbarArt(std::vector<SkinBitmap>& out)
{
    SkinBitmap back = DrawBack();
    for (const ButtonArt& art : kButtons) out.push_back(DrawButton(back, art));
    out.push_back(DrawLogo(back));
    out.push_back(std::move(back));
}

}  // namespace skinart
