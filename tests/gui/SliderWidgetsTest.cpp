// Sliders and their fader and knob forms: the step grid, dragging with its fine mode, the
// default value, and where faders and knobs draw their value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gui/XFader.h"
#include "gui/XGraphic.h"
#include "gui/XLabel.h"
#include "gui/XListener.h"
#include "gui/XPane.h"
#include "gui/XPotar.h"
#include "gui/XSkin.h"
#include "gui/XSlider.h"
#include "gui/XView.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

using controlsrig::DrawAll;

struct Heard : XListener {
    int changes = 0;
    void SliderChanged(XSlider*, std::int32_t code) override { changes += code == 0 ? 1 : 100; }
};

// Records ValueChanged, which must come before the broadcast.
class Recording : public XSlider {
public:
    using XSlider::XSlider;
    std::vector<double> values;
    const Heard* heard = nullptr;
    int changesSeenFirst = -1;
    void ValueChanged(double v) override
    {
        values.push_back(v);
        if (heard) changesSeenFirst = heard->changes;
    }
};

struct SnapCase {
    double input;
    bool fine;
    double expected;
};

class SliderSnap : public ::testing::TestWithParam<SnapCase> {};

TEST_P(SliderSnap, ClampsAndSnapsToTheGrid)
{
    XSlider slider(0, 0, 100, 10);
    slider.SetRange(0, 1, 0.01, 0.002);
    slider.SetValue(GetParam().input, GetParam().fine);
    EXPECT_NEAR(slider.GetValue(), GetParam().expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SliderSnap,
    ::testing::Values(SnapCase {0.004, false, 0}, SnapCase {0.006, false, 0.01},
                      SnapCase {2, false, 1}, SnapCase {-5, false, 0},
                      SnapCase {0.5049, false, 0.5}, SnapCase {0.0031, true, 0.004},
                      SnapCase {std::numeric_limits<double>::infinity(), false, 1}));

TEST(Slider, ReportsOnlyRealChangesAndCallsValueChangedFirst)
{
    Recording slider(0, 0, 100, 10);
    Heard heard;
    slider.heard = &heard;
    slider.AddListener(&heard);
    slider.SetRange(-100, 100, 1);
    slider.SetValue(0);  // the initial value is off every grid, so this reports
    slider.SetValue(0.3);
    slider.SetValue(40);
    slider.SetValue(std::nan(""));
    EXPECT_EQ(heard.changes, 2);
    EXPECT_EQ(slider.values, (std::vector<double> {0, 40}));
    EXPECT_EQ(slider.changesSeenFirst, 1);
    EXPECT_DOUBLE_EQ(slider.Fraction(), 0.7);

    // A value the program shows moves the slider as ever but is no edit: nobody is told.
    slider.SetValueSilently(-20.4);
    EXPECT_EQ(heard.changes, 2);
    EXPECT_EQ(slider.values, (std::vector<double> {0, 40, -20}));
    EXPECT_DOUBLE_EQ(slider.GetValue(), -20);
}

TEST(Slider, RangeDefaultsAndOddRanges)
{
    XSlider slider;
    slider.SetRange(0, 10, 0, -1);
    EXPECT_DOUBLE_EQ(slider.Step(), 0.1);
    EXPECT_DOUBLE_EQ(slider.FineStep(), 0.02);
    EXPECT_DOUBLE_EQ(slider.FineRatio(), 0.2);
    slider.SetDefault(42);
    EXPECT_DOUBLE_EQ(slider.DefaultValue(), 10);
    slider.SetDefault(3.14159);
    EXPECT_NEAR(slider.DefaultValue(), 3.1, 1e-9);

    // An empty range has no grid and no travel to divide by; the value stays a number.
    slider.SetRange(5, 5, 0);
    slider.SetValue(7);
    EXPECT_EQ(slider.GetValue(), 5);
    EXPECT_EQ(slider.Fraction(), 0);
    // Bounds the wrong way round are taken the right way round.
    slider.SetRange(10, -10, 1);
    EXPECT_EQ(slider.Minimum(), -10);
    slider.SetValue(-20);
    EXPECT_EQ(slider.GetValue(), -10);
    slider.SetRange(0, std::numeric_limits<double>::infinity(), 1);
    slider.SetRange(-1e308, 1e308, 0);  // the span overflows: refused
    EXPECT_EQ(slider.Maximum(), 10);
    slider.SetRange(-1e300, 1e300, 0);
    slider.SetValue(5e299);
    EXPECT_TRUE(std::isfinite(slider.GetValue()));
}

// A horizontal fader of 112 pixels: 100 pixels of travel for the range 0 .. 100.
struct DragRig : ::testing::Test {
    XView root {0, 0, 300, 100};
    XFader* fader = root.Add<XFader>(10, 10, 112, 18);
    Heard heard;
    DragRig()
    {
        fader->SetRange(0, 100, 1, 0.1);
        fader->SetDefault(64);
        fader->SetValue(20);
        fader->AddListener(&heard);
    }
};

TEST_F(DragRig, DragMovesByTheTravelFromWhereThePressFoundIt)
{
    EXPECT_EQ(fader->HorizontalTravel(), 100);
    ASSERT_TRUE(root.MouseDownAt(50, 15, 0, false, false));
    root.MouseMoveTo(80, 40, false, false);
    EXPECT_EQ(fader->GetValue(), 50);
    root.MouseMoveTo(-500, 15, false, false);
    EXPECT_EQ(fader->GetValue(), 0);
    root.MouseUpAt(-500, 15);
    root.MouseMoveTo(60, 15, false, false);  // not dragging any more
    EXPECT_EQ(fader->GetValue(), 0);
}

TEST_F(DragRig, ShiftMidDragContinuesFinelyWithoutAJump)
{
    ASSERT_TRUE(root.MouseDownAt(50, 15, 0, false, false));
    root.MouseMoveTo(60, 15, false, false);
    EXPECT_EQ(fader->GetValue(), 30);
    root.MouseMoveTo(61, 15, true, false);  // shift goes down here: no jump
    EXPECT_EQ(fader->GetValue(), 30);
    EXPECT_TRUE(fader->IsFine());
    root.MouseMoveTo(71, 15, true, false);  // 10 pixels at a tenth of the speed
    EXPECT_NEAR(fader->GetValue(), 31, 1e-9);
    root.MouseMoveTo(72, 15, false, false);  // shift released: coarse again from here
    EXPECT_NEAR(fader->GetValue(), 31, 1e-9);
    root.MouseMoveTo(82, 15, false, false);
    EXPECT_NEAR(fader->GetValue(), 41, 1e-9);
}

TEST_F(DragRig, ControlClickJumpsToTheDefaultAndStartsNoDrag)
{
    EXPECT_FALSE(root.MouseDownAt(50, 15, 0, false, true));
    EXPECT_EQ(fader->GetValue(), 64);
    EXPECT_EQ(heard.changes, 1);
    root.MouseMoveTo(100, 15, false, false);
    EXPECT_EQ(fader->GetValue(), 64);
}

TEST(Fader, OrientationTravelAndThumbPlaces)
{
    XFader vertical(0, 0, 18, 112);
    EXPECT_TRUE(vertical.IsVertical());
    EXPECT_EQ(vertical.VerticalTravel(), 100);
    EXPECT_EQ(vertical.HorizontalTravel(), 0);
    vertical.SetRange(0, 1, 0.01);
    vertical.SetValue(1);  // the top
    EXPECT_EQ(vertical.ThumbRect(), XRect::FromSize(1, 1, 16, 12));
    vertical.SetValue(0);  // the bottom: 1 + 112 - 12 - 2
    EXPECT_EQ(vertical.ThumbRect().top, 99);

    const std::vector<std::uint32_t> pixels(9 * 15, 0x8090a0);
    XSkin::Add("test_fader_thumb.png", testsupport::EncodePng(pixels, 9, 15));
    XFader horizontal(0, 0, 92, 18);
    ASSERT_TRUE(horizontal.SetThumb("test_fader_thumb.png"));
    EXPECT_EQ(horizontal.HorizontalTravel(), 83);
    horizontal.SetRange(0, 127, 1);
    horizontal.SetValue(127);
    EXPECT_EQ(horizontal.ThumbRect(), XRect::FromSize(82, 1, 9, 15));

    XFader tiny(0, 0, 4, 4);  // shorter than its thumb: no travel, nothing divides by zero
    EXPECT_EQ(tiny.HorizontalTravel(), 0);
    tiny.SetFraction(0.5);
    EXPECT_FALSE(tiny.ThumbRect().IsEmpty());
}

// Transparent faders and labels paint their parent under themselves, so a moved thumb or a new
// text leaves no trace: the incremental repaint equals a full drawing.
TEST(Fader, TransparentWidgetsLeaveNoTrace)
{
    XView root(0, 0, 140, 60);
    XPane* pane = root.Add<XPane>(0, 0, 140, 60);
    pane->SetColor(0, XColor(48, 53, 64));
    XFader* fader = pane->Add<XFader>(10, 10, 120, 18);
    fader->SetFill(XColor(255, 80, 30), 0.5);
    fader->SetFraction(0.9);
    XLabel* label = pane->Add<XLabel>(5, 34, 110, 20, "Grand Piano 1");
    XGraphic g;
    DrawAll(root, g);
    fader->SetFraction(0.1);
    label->SetText("Pad");
    DrawAll(root, g, false);
    XGraphic fresh;
    DrawAll(root, fresh);
    EXPECT_TRUE(std::equal(g.Pixels().begin(), g.Pixels().end(), fresh.Pixels().begin()));
}

struct AngleCase {
    double fraction;
    double x;
    double y;
};

class PotarIndicator : public ::testing::TestWithParam<AngleCase> {};

TEST_P(PotarIndicator, SweepsFromLowerLeftThroughTopToLowerRight)
{
    XPotar knob(0, 0, 33, 33);
    knob.SetIndicator(16.5, 16.5, 10);
    knob.SetFraction(GetParam().fraction);
    double x = 0;
    double y = 0;
    knob.IndicatorEnd(x, y);
    EXPECT_NEAR(x, GetParam().x, 1e-4);
    EXPECT_NEAR(y, GetParam().y, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Fractions, PotarIndicator,
                         ::testing::Values(AngleCase {0.5, 16.5, 6.5},
                                           AngleCase {0, 16.5 - 7.0710678, 16.5 + 7.0710678},
                                           AngleCase {1, 16.5 + 7.0710678, 16.5 + 7.0710678}));

TEST(Potar, DragsOver150PixelsUpwards)
{
    XView root(0, 0, 100, 300);
    XPotar* knob = root.Add<XPotar>(30, 100, 33, 33);
    knob->SetRange(0, 1, 0.01);
    knob->SetValue(0);
    EXPECT_EQ(knob->VerticalTravel(), 150);
    ASSERT_TRUE(root.MouseDownAt(45, 115, 0, false, false));
    root.MouseMoveTo(45, 40, false, false);
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
    root.MouseMoveTo(300, 115, false, false);  // sideways does nothing
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0);
}

// A knob picture made here, so the reference does not follow the skin.
void RegisterKnob()
{
    constexpr int kSide = 33;
    std::vector<std::uint32_t> pixels(kSide * kSide, 0);
    std::vector<std::uint8_t> mask(kSide * kSide, 0);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            // Integers only, so every build draws the same picture.
            const int d2 = (x - 16) * (x - 16) + (y - 16) * (y - 16);
            if (d2 > 240) continue;  // 15.5 squared
            const int shade = 70 - (x + y) * 3 / 5 - (d2 > 182 ? 25 : 0);
            const auto c = static_cast<std::uint32_t>(std::clamp(shade, 10, 255));
            pixels[y * kSide + x] = c << 16 | c << 8 | (c + 6);
            mask[y * kSide + x] = 255;
        }
    }
    XSkin::Add("test_knob.png", testsupport::EncodePng(pixels, kSide, kSide, mask));
}

TEST(SliderWidgetsReference, FadersAndKnobs)
{
    RegisterKnob();
    XView root(0, 0, 300, 150);
    root.SetColor(0, XColor(24, 26, 31));
    XPane* panel = root.Add<XPane>(6, 6, 288, 138);
    panel->SetColor(0, XColor(38, 42, 50));
    panel->SetColor(3, XColor(70, 76, 90));

    // Top-strip faders: transparent over a bed with grooves, with fills from their reference.
    std::vector<std::uint32_t> bed(120 * 62, 0x262a32);
    for (int row = 0; row < 3; ++row) {
        const std::uint32_t groove[3] = {0x14161a, 0x0b0c0e, 0x464c5a};
        for (int y = 0; y < 3; ++y) {
            std::fill_n(bed.begin() + (row * 22 + 8 + y) * 120 + 4, 112, groove[y]);
        }
    }
    XSkin::Add("test_fader_bed.png", testsupport::EncodePng(bed, 120, 62));
    XPane* strip = panel->Add<XPane>(10, 10, 0, 0);
    strip->SetPicture("test_fader_bed.png");
    const XColor fills[3] = {XColor(120, 120, 150), XColor(255, 80, 30), XColor(150, 230, 170)};
    const double values[3] = {100, -40, 90};
    const double mins[3] = {0, -100, 0};
    const double maxs[3] = {127, 100, 127};
    const double refs[3] = {0, 0, 64};
    for (int i = 0; i < 3; ++i) {
        XFader* f = strip->Add<XFader>(0, i * 22, 120, 18);
        f->SetRange(mins[i], maxs[i], 1);
        f->SetFill(fills[i], refs[i]);
        f->SetColor(1, XColor(170, 174, 190));
        f->SetValue(values[i]);
    }
    // Opaque faders with a groove, one vertical.
    XFader* opaque = panel->Add<XFader>(10, 80, 120, 20);
    opaque->SetBackground(XColor(60, 64, 76));
    opaque->SetFraction(0.3);
    XFader* upright = panel->Add<XFader>(140, 10, 20, 118);
    upright->SetBackground(XColor(60, 64, 76));
    upright->SetColor(1, XColor(124, 168, 255));
    upright->SetFraction(0.75);
    XFader* rising = panel->Add<XFader>(166, 10, 14, 118);
    rising->SetFill(XColor(0, 203, 31), 0);
    rising->SetFraction(0.4);

    // Knobs at the ends and the middle, one in dot mode, one plain.
    const double fractions[4] = {0, 0.5, 1, 0.3};
    for (int i = 0; i < 4; ++i) {
        XPotar* knob = panel->Add<XPotar>(190 + (i % 2) * 44, 14 + (i / 2) * 44, 33, 33);
        knob->SetPicture("test_knob.png");
        knob->SetIndicator(16.5, 16.5, 9.2);
        knob->SetDotMode(i == 3);
        knob->SetFraction(fractions[i]);
    }
    XPotar* plain = panel->Add<XPotar>(10, 108, 22, 22);
    plain->SetIndicator(11, 11, 8);
    plain->SetFraction(0.8);

    XGraphic g;
    DrawAll(root, g);
    testsupport::ExpectMatchesReference(g, "buttons_sliders");
}

}  // namespace
