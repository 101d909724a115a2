#include "tools/marlet-skin/ToneViewArt.h"

#include <string>

#include "platform/FourCC.h"
#include "tools/marlet-skin/SkinCanvas.h"
#include "tools/marlet-skin/SkinLayout.h"
#include "tools/marlet-skin/SkinPalette.h"

namespace skinart {

namespace {

using namespace palette;

constexpr int kViewWidth = 767;

// A recessed box whose inside is `inner`: a dark floor, its upper and left edge in shadow and
// a lit lip along the lower and right edge.
void Well(XGraphic& g, const XRect& inner, XColor floor = kWell)
{
    const XRect outer = inner.Inflated(1);
    g.SetFillColor(floor);
    g.FillRect(inner.left, inner.top, inner.Width(), inner.Height());
    g.SetPen(kWellEdge);
    g.Line(outer.left, outer.top, outer.right - 1, outer.top);
    g.Line(outer.left, outer.top, outer.left, outer.bottom - 1);
    g.SetPen(floor.Scaled(1.5f));
    g.Line(inner.left, inner.top, inner.right, inner.top);
    g.SetPen(kWellLip);
    g.Line(outer.left, outer.bottom, outer.right, outer.bottom);
    g.Line(outer.right, outer.top, outer.right, outer.bottom);
}

// A panel lit from above: the gradient, a highlight on the top row and the left edge, a
// shadow on the bottom row and the right edge.
void Panel(XGraphic& g, int w, int h, XColor top, XColor bottom)
{
    g.Gradient(XRect(0, 0, w - 1, h - 1), top, bottom);
    g.SetPen(top.Scaled(1.35f));
    g.Line(0, 0, w - 1, 0);
    g.SetPen(top.Scaled(1.15f));
    g.Line(0, 0, 0, h - 1);
    g.SetPen(kPanelShadow);
    g.Line(0, h - 1, w - 1, h - 1);
    g.Line(w - 1, 0, w - 1, h - 1);
}

// A small label in the panel's text colour.
void SmallText(XGraphic& g, std::string_view text, const XRect& rect, XColor c)
{
    g.MakeFont(7, 0);
    g.SetTextColor(c);
    g.TextCentered(text, rect.left, rect.top, rect.Width(), rect.Height(), 0);
}

// A fader's groove across its width at row `y` (the groove's middle), with ticks under it at
// the thumb's centre for 0, 1/4, 1/2, 3/4 and 1 (thumb 9 pixels over a travel of width - 11).
void FaderGroove(XGraphic& g, int x, int y, int w, bool centred, XColor tick)
{
    const XRect groove(x + 3, y - 1, x + w - 4, y + 1);
    Well(g, groove, XColor(8, 8, 8));
    const int travel = w - 9 - 2;
    for (int i = 0; i <= 4; ++i) {
        const int tx = x + 1 + travel * i / 4 + 4;
        const bool major = centred ? i == 2 : i == 0 || i == 4;
        g.SetPen(major ? tick.Scaled(1.4f) : tick);
        g.Line(tx, y + 4, tx, y + (major ? 6 : 5));
    }
}

// The instrument menu button: a small raised key with a down arrow.
void MenuButton(SkinCanvas& c, const XRect& r, XColor face)
{
    c.RoundRect(r.left - 0.5f, r.top - 0.5f, r.right + 1.5f, r.bottom + 1.5f, 3.0f, kWellEdge);
    c.RoundRectGradient(r.left + 0.5f, r.top + 0.5f, r.right + 0.5f, r.bottom + 0.5f, 2.5f,
                        face.Scaled(1.5f), face);
    c.RoundRectGradient(r.left + 0.5f, r.top + 1.5f, r.right + 0.5f, r.bottom + 0.5f, 2.5f,
                        face.Scaled(1.25f), face.Scaled(0.9f));
    const float cx = (r.left + r.right + 1) / 2.0f, cy = (r.top + r.bottom + 1) / 2.0f + 1;
    c.Triangle(cx - 3.5f, cy - 2, cx + 3.5f, cy - 2, cx, cy + 2, kLabelBright);
}

// A seat for a toggle LED: a dark recess a pixel around it, lit along its lower edge.
void Seat(SkinCanvas& c, const XRect& r)
{
    c.RoundRect(r.left - 1, r.top - 1, r.right + 2, r.bottom + 3, 2.0f, XColor(70, 70, 70));
    c.RoundRect(r.left - 1, r.top - 1, r.right + 2, r.bottom + 2, 2.0f, XColor(12, 12, 12));
}

SkinBitmap DrawTop(bool empty)
{
    SkinCanvas c(kViewWidth, 25);
    XGraphic& g = c.G();
    const XColor top = empty ? XColor(44, 44, 44) : kPanelTop;
    const XColor bottom = empty ? XColor(34, 34, 34) : kPanelBottom;
    Panel(g, kViewWidth, 25, top, bottom);
    const XColor label = empty ? kLabelDim : kLabel;

    Well(g, layout::kToneNumber);
    Well(g, layout::kName);
    MenuButton(c, layout::kInstrumentButton, empty ? XColor(48, 48, 48) : XColor(62, 62, 62));
    Well(g, layout::kBus);
    Seat(c, layout::kMute);
    Seat(c, layout::kSolo);

    const char* const names[] {"VOL", "TUNE", "PAN"};
    const int labelLeft[] {303, 448, 606};
    for (int i = 0; i < 3; ++i) {
        const int x = layout::kFaderX[i];
        SmallText(g, names[i], XRect(labelLeft[i], 4, x - 1, 20), label);
        FaderGroove(g, x, layout::kFaderY + 8, layout::kFaderWidth, i > 0,
                    empty ? XColor(66, 66, 66) : XColor(92, 92, 92));
        Well(g, XRect::FromSize(layout::kValueX[i], layout::kValueY, layout::kValueWidth,
                                layout::kValueHeight));
    }
    return c.Finish(empty ? "view_slot.png" : "view_top.png");
}

// A plate that groups knobs: a rounded, slightly raised area of the lower panel.
void Plate(SkinCanvas& c, float l, float t, float r, float b)
{
    c.RoundRect(l - 1, t - 1, r + 1, b + 1, 5.0f, XColor(20, 20, 20));
    c.RoundRectGradient(l, t, r, b, 4.0f, XColor(64, 64, 64), kPlateBottom);
    c.RoundRectGradient(l, t + 1, r, b, 4.0f, kPlateTop, kPlateBottom);
}

SkinBitmap DrawBottom()
{
    constexpr int h = 70;
    SkinCanvas c(kViewWidth, h);
    XGraphic& g = c.G();
    g.Gradient(XRect(0, 0, kViewWidth - 1, h - 1), kDeepTop, kDeepBottom);
    g.SetPen(XColor(14, 14, 14));
    g.Line(0, 0, kViewWidth - 1, 0);
    g.SetPen(XColor(52, 52, 52));
    g.Line(0, 1, kViewWidth - 1, 1);
    g.SetPen(kPanelShadow);
    g.Line(0, h - 1, kViewWidth - 1, h - 1);
    g.Line(kViewWidth - 1, 0, kViewWidth - 1, h - 1);

    // The program's facts and its dimensions: display wells.
    SmallText(g, "PROGRAM", XRect(layout::kProgramFacts.left, 3, layout::kProgramFacts.right, 12),
              kLabel);
    Well(g, layout::kProgramFacts, XColor(12, 12, 12));
    Well(g, layout::kDimensionList, XColor(12, 12, 12));

    // Knob plates: pitch bend; the amplifier; the filter with its switch.
    const auto& kx = layout::kKnobX;
    Plate(c, kx[0] - 7, 3, kx[0] + 33 + 7, 66);
    Plate(c, kx[1] - 7, 3, kx[5] + 33 + 4, 66);
    Plate(c, layout::kFilterSwitch.left - 5, 3, kx[9] + 33 + 6, 66);

    const char* const labels[] {"BEND",    "VELO",   "ATTACK", "DECAY", "SUSTAIN",
                                "RELEASE", "CUTOFF", "VELO",   "AUX 1", "AUX 2"};
    for (std::size_t i = 0; i < kx.size(); ++i) {
        SmallText(g, labels[i], XRect(kx[i] - 6, 5, kx[i] + 38, 16), kLabelBright);
        // A soft shadow under the knob.
        c.Disc(kx[i] + 16.5f, layout::kKnobY + 17.5f, 15.5f, XColor(38, 38, 38));
        Well(g, XRect::FromSize(kx[i] + 2, layout::kKnobValueY, layout::kKnobValueWidth,
                                layout::kKnobValueHeight));
    }
    // The filter switch's label goes under it: the row above belongs to the knobs' labels.
    SmallText(g, "VCF",
              XRect(layout::kFilterSwitch.left - 4, layout::kKnobValueY,
                    layout::kFilterSwitch.right + 4, layout::kKnobValueY + 10),
              kAccent);
    Well(g, layout::kFilterSwitch, XColor(14, 14, 14));
    return c.Finish("view_bot.png");
}

SkinBitmap DrawPart()
{
    constexpr int w = 737, h = 20;
    SkinCanvas c(w, h);
    XGraphic& g = c.G();
    Panel(g, w, h, XColor(52, 52, 52), XColor(40, 40, 40));
    Well(g, layout::kPartNumber);
    Well(g, layout::kPartName);
    MenuButton(c, layout::kPartMenu, XColor(62, 62, 62));
    Seat(c, layout::kPartMute);
    Seat(c, layout::kPartSolo);
    for (int i = 0; i < 3; ++i) {
        FaderGroove(g, layout::kPartFaderX[i], layout::kPartFaderY + 8, layout::kFaderWidth, i > 0,
                    XColor(86, 86, 86));
        Well(g, XRect::FromSize(layout::kPartValueX[i], layout::kPartValueY, layout::kValueWidth,
                                layout::kValueHeight));
    }
    return c.Finish("view_part.png");
}

}  // namespace

void AddToneViewArt(std::vector<SkinBitmap>& out)
{
    out.push_back(DrawTop(false));
    out.push_back(DrawTop(true));
    out.push_back(DrawBottom());
    out.push_back(DrawPart());
}

}  // namespace skinart
