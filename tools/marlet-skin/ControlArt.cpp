#include "tools/marlet-skin/ControlArt.h"

#include <algorithm>
#include <cmath>

#include "tools/marlet-skin/SkinCanvas.h"
#include "tools/marlet-skin/SkinLayout.h"
#include "tools/marlet-skin/SkinPalette.h"

namespace skinart {

namespace {

using namespace palette;

constexpr float kPi = 3.14159265f;

const SkinBitmap* Find(const std::vector<SkinBitmap>& out, std::string_view name)
{
    auto it =
        std::find_if(out.begin(), out.end(), [&](const SkinBitmap& b) { return b.name == name; });
    return it == out.end() ? nullptr : &*it;
}

std::vector<std::uint32_t> Under(const std::vector<SkinBitmap>& out, std::string_view name, int x,
                                 int y, int w, int h)
{
    const SkinBitmap* from = Find(out, name);
    if (!from) return std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, 0);
    return CropPixels(*from, x, y, w, h);
}

// The fader's thumb: a small vertical cap, lit on top, with a bright grip line across its
// middle that marks the value.
SkinBitmap DrawFaderThumb(const std::vector<SkinBitmap>& out)
{
    constexpr int w = 9, h = 15;
    SkinCanvas c(w, h, Under(out, "view_top.png", layout::kFaderX[0] + 30, 5, w, h));
    c.RoundRect(0, 0, 9, 15, 2.0f, XColor(10, 10, 10));
    c.RoundRectGradient(1, 1, 8, 14, 1.5f, XColor(168, 168, 168), XColor(92, 92, 92));
    c.RoundRectGradient(1, 2, 8, 14, 1.5f, XColor(128, 128, 128), XColor(70, 70, 70));
    // Ridges above and below the grip.
    for (const int y : {3, 5, 9, 11}) {
        c.G().SetPen(XColor(52, 52, 52));
        c.G().Line(2, y, 6, y);
        c.G().SetPen(XColor(150, 150, 150));
        c.G().Line(2, y + 1, 6, y + 1);
    }
    c.G().SetPen(XColor(240, 240, 240));
    c.G().Line(1, 7, 7, 7);
    return c.Finish("fad_cur.png");
}

// The activity LED: a round lens in a dark bezel; lit, it glows amber with a hot centre.
SkinBitmap DrawLed(const std::vector<SkinBitmap>& out, bool on)
{
    constexpr int w = 15, h = 16;
    SkinCanvas c(w, h,
                 Under(out, "view_top.png", layout::kMidiLed.left, layout::kMidiLed.top, w, h));
    const float cx = 7.5f, cy = 8.0f;
    c.Disc(cx, cy + 0.5f, 6.4f, XColor(70, 70, 70));
    c.Disc(cx, cy, 6.2f, XColor(8, 8, 8));
    if (on) {
        c.ShadedDisc(cx, cy, 5.0f, XColor(255, 230, 150), XColor(230, 120, 20));
        c.Shape(
            XRect(0, 0, w - 1, h - 1),
            [=](float x, float y) { return std::hypot(x - cx, y - cy) - 5.0f; },
            [=](float x, float y) {
                const float d = std::hypot(x - cx, y - cy + 0.5f) / 5.0f;
                return SkinCanvas::Mix(XColor(255, 250, 220), kAccent,
                                       std::clamp(d * 1.1f, 0.f, 1.f));
            });
    } else {
        c.ShadedDisc(cx, cy, 5.0f, XColor(70, 48, 24), XColor(40, 26, 12));
    }
    // The lens's reflection.
    c.Disc(cx - 1.6f, cy - 2.0f, 1.5f, on ? XColor(255, 255, 240) : XColor(110, 92, 72));
    return c.Finish(on ? "led_on.png" : "led_off.png");
}

// The knob: a dark cap with a soft top light, a thin rim, and a scale of dots around it over
// the 270 degrees it turns (the control draws the pointer).
SkinBitmap DrawKnob(const std::vector<SkinBitmap>& out)
{
    constexpr int s = layout::kKnobSize;
    SkinCanvas c(s, s, Under(out, "view_bot.png", layout::kKnobX[1], layout::kKnobY, s, s));
    const float cx = layout::kKnobCentre, cy = layout::kKnobCentre;
    // The scale: 11 dots from lower left through the top to lower right, ends larger.
    for (int i = 0; i <= 10; ++i) {
        const float a = i / 10.0f * 1.5f * kPi - 0.25f * kPi;  // angle measured as the pointer
        const float x = cx - std::cos(a) * 14.8f, y = cy - std::sin(a) * 14.8f;
        const bool end = i == 0 || i == 10 || i == 5;
        c.Disc(x, y, end ? 1.25f : 0.9f, end ? XColor(190, 190, 190) : kKnobTick);
    }
    c.Disc(cx, cy + 1.0f, 12.2f, XColor(14, 14, 14));
    c.Disc(cx, cy, 12.0f, kKnobRim);
    c.ShadedDisc(cx, cy, 11.0f, XColor(110, 110, 112), XColor(36, 36, 38));
    c.ShadedDisc(cx, cy, 10.0f, kKnobTop, kKnobBottom);
    // A soft highlight on the upper left of the cap.
    c.Shape(
        XRect(0, 0, s - 1, s - 1),
        [=](float x, float y) { return std::hypot(x - cx, y - cy) - 9.6f; },
        [=](float x, float y) {
            const float d = std::hypot(x - (cx - 3.0f), y - (cy - 4.0f)) / 9.0f;
            const XColor base =
                SkinCanvas::Mix(kKnobTop, kKnobBottom, std::clamp((y - cy + 10) / 20, 0.f, 1.f));
            return SkinCanvas::Mix(XColor(96, 96, 98), base, std::clamp(d, 0.f, 1.f));
        });
    return c.Finish("pot_grey.png");
}

// The rack's expand toggle: a small dark key with a light triangle, right (closed) or down
// (open).
SkinBitmap DrawToggle(bool open)
{
    constexpr int s = 13;
    std::vector<std::uint32_t> black(s * s, kRack.Pixel());
    SkinCanvas c(s, s, black);
    c.RoundRectGradient(0, 0, 13, 13, 3.0f, XColor(76, 76, 76), XColor(40, 40, 40));
    c.RoundRectGradient(1, 1, 12, 12, 2.5f, XColor(62, 62, 62), XColor(44, 44, 44));
    const XColor arrow = open ? kAccent : kLabelBright;
    if (open) {
        c.PixelArrow(6, 8, 0, 1, 5, arrow);
    } else {
        c.PixelArrow(8, 6, 1, 0, 5, arrow);
    }
    return c.Finish(open ? "tog_close.png" : "tog_open.png");
}

// The filter switch: a slot with a lever, up and amber when on, down and grey when off.
SkinBitmap DrawFilterSwitch(const std::vector<SkinBitmap>& out, bool on)
{
    constexpr int w = 12, h = 31;
    SkinCanvas c(
        w, h,
        Under(out, "view_bot.png", layout::kFilterSwitch.left, layout::kFilterSwitch.top, w, h));
    c.RoundRect(0, 0, 12, 31, 3.5f, XColor(70, 70, 70));
    c.RoundRect(0, 0, 12, 30, 3.5f, XColor(8, 8, 8));
    c.RoundRect(1, 1, 11, 30, 2.5f, XColor(20, 20, 20));
    // The lamp strip in the lower half of the slot, lit when on.
    const XColor lamp = on ? kAccent : XColor(46, 34, 20);
    c.RoundRect(4, on ? 21 : 4, 8, on ? 27 : 10, 1.5f, lamp);
    if (on) c.RoundRect(5, 22, 7, 24, 1.0f, kAccentBright);
    // The lever.
    const float top = on ? 2.0f : 15.0f;
    c.RoundRect(1.5f, top, 10.5f, top + 14.0f, 2.0f, XColor(10, 10, 10));
    c.RoundRectGradient(2, top + 0.5f, 10, top + 13.0f, 1.5f, XColor(176, 176, 176),
                        XColor(84, 84, 84));
    for (int i = 0; i < 3; ++i) {
        const int y = static_cast<int>(top) + 4 + i * 3;
        c.G().SetPen(XColor(70, 70, 70));
        c.G().Line(3, y, 8, y);
        c.G().SetPen(XColor(170, 170, 170));
        c.G().Line(3, y + 1, 8, y + 1);
    }
    return c.Finish(on ? "vcf_on.png" : "vcf_off.png");
}

}  // namespace

void AddControlArt(std::vector<SkinBitmap>& out)
{
    std::vector<SkinBitmap> made;
    made.push_back(DrawFaderThumb(out));
    made.push_back(DrawLed(out, false));
    made.push_back(DrawLed(out, true));
    made.push_back(DrawKnob(out));
    made.push_back(DrawToggle(false));
    made.push_back(DrawToggle(true));
    made.push_back(DrawFilterSwitch(out, false));
    made.push_back(DrawFilterSwitch(out, true));
    for (SkinBitmap& b : made) out.push_back(std::move(b));
}

}  // namespace skinart
