#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "gui/XFont.h"
#include "gui/XGraphic.h"
#include "platform/FourCC.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

// A white surface with black text in the default font ('xfdf').
struct TextSurface {
    explicit TextSurface(int w = 200, int h = 40)
    {
        g.Begin(nullptr, w, h);
        g.SetFillColor(XColor(255, 255, 255));
        g.FillRect(0, 0, w, h);
        g.SetTextColor(XColor(0, 0, 0));
        g.SetFont(FourCC("xfdf"));
    }
    // The inked rows and columns (pixels that are no longer white).
    XRect Ink() const
    {
        XRect ink(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = 0; y < g.Height(); ++y) {
            for (int x = 0; x < g.Width(); ++x) {
                if (g.PixelAt(x, y) == 0xFFFFFFu) continue;
                ink = XRect(std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x),
                            std::max(ink.bottom, y));
            }
        }
        return ink;
    }
    std::vector<std::uint32_t> Pixels() const { return {g.Pixels().begin(), g.Pixels().end()}; }
    XGraphic g;
};

TEST(XFontTest, CodePointsFromUtf8WithReplacementForInvalidBytes)
{
    const auto decode = [](std::string_view s) {
        std::u32string out;
        for (std::size_t pos = 0; pos < s.size();) out += XFont::NextCodePoint(s, pos);
        return out;
    };
    EXPECT_EQ(decode("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9"), U"a\u00E9\u20AC\U0001F3B9");
    EXPECT_EQ(decode("\xC3("), U"\uFFFD(");                              // cut short
    EXPECT_EQ(decode("\xC0\xAF"), U"\uFFFD\uFFFD");                      // overlong
    EXPECT_EQ(decode("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");            // a surrogate
    EXPECT_EQ(decode("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD");  // beyond U+10FFFF
    EXPECT_EQ(decode("\xFF\xE2\x82"), U"\uFFFD\uFFFD\uFFFD");
}

TEST(XFontTest, FontsAreMadeOncePerSizeAndWeight)
{
    TextSurface a, b;
    a.g.SetFont(FourCC("xfhg"));
    const int made = XFont::CreatedCount();
    a.g.SetFont(FourCC("xfhg"));
    b.g.SetFont(FourCC("xfhg"));
    b.g.MakeFont(14, FourCC("bold"));
    EXPECT_EQ(XFont::CreatedCount(), made);
    EXPECT_EQ(a.g.TextSize("Hg").bottom, 17);  // an 18-pixel cell
    EXPECT_EQ(a.g.FontWeight(), FourCC("bold"));

    // Unknown identifiers and impossible sizes leave the current font.
    a.g.SetFont(FourCC("nope"));
    a.g.MakeFont(-40, 0);
    a.g.MakeFont(1000000, 0);
    EXPECT_EQ(a.g.FontSize(), 14);
    EXPECT_EQ(a.g.TextSize("Hg").bottom, 17);
}

TEST(XFontTest, PredefinedFontsHaveTheirCellsAndBoldIsWider)
{
    TextSurface s;
    const std::string text = "Marlet plays";
    s.g.SetFont(FourCC("xfsm"));
    EXPECT_EQ(s.g.TextSize(text).bottom, 12);
    const int small = s.g.TextSize(text).right;
    s.g.SetFont(FourCC("xfdf"));
    EXPECT_EQ(s.g.TextSize(text).bottom, 14);
    const int normal = s.g.TextSize(text).right;
    s.g.SetFont(FourCC("xfbg"));
    const int bold = s.g.TextSize(text).right;
    EXPECT_LT(small, normal);
    EXPECT_LT(normal, bold);
    // Widths add up: no kerning, as with GDI's text output.
    EXPECT_EQ(s.g.TextSize("AV").right, s.g.TextSize("A").right + s.g.TextSize("V").right);
    EXPECT_EQ(s.g.TextSize("").right, 0);
    EXPECT_EQ(s.g.TextSize("").bottom, 14);
}

// The layout is drawn and checked on Linux: every rasteriser must give the editor's cells (and
// 33, another height where GDI's own choice of em differs) the baseline and the advances
// FreeType gives them there, or text and what is placed by its width move.
struct FontMetrics {
    int cellHeight;
    bool bold;
    int ascent;
    int width;  // of kAlphabet
};
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

class XFontMetricsTest : public ::testing::TestWithParam<FontMetrics> {};

TEST_P(XFontMetricsTest, BaselineAndAdvancesAreLinuxs)
{
    const FontMetrics m = GetParam();
    const auto font = XFont::Get(m.cellHeight, m.bold);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Ascent(), m.ascent);
    EXPECT_EQ(font->Measure(kAlphabet), m.width);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, XFontMetricsTest,
    ::testing::Values(FontMetrics {12, false, 10, 394}, FontMetrics {13, false, 11, 438},
                      FontMetrics {14, false, 11, 467}, FontMetrics {14, true, 11, 483},
                      FontMetrics {15, false, 12, 467}, FontMetrics {15, true, 12, 483},
                      FontMetrics {18, true, 15, 605}, FontMetrics {25, true, 20, 816},
                      FontMetrics {33, false, 27, 1084}));

TEST(XFontTest, TextTopIsThreeAboveYAndCentringFallsBackToFourIn)
{
    TextSurface text;
    text.g.Text("Hxl", 20, 10);
    const XRect ink = text.Ink();
    EXPECT_GE(ink.top, 7);
    EXPECT_LE(ink.bottom, 7 + 14);
    // Capital H's top sits near the ascent below the cell top (12 of 15 pixels).
    EXPECT_GE(ink.top, 8);
    EXPECT_LE(ink.top, 10);

    // Negative alignment, or text wider than the box, starts 4 pixels in; centring puts the
    // cell's top at y + (h - cell) / 2 (Text puts it at y - 3).
    const auto same = [](auto draw1, auto draw2) {
        TextSurface one, two;
        draw1(one.g);
        draw2(two.g);
        return one.Pixels() == two.Pixels();
    };
    EXPECT_TRUE(same([](XGraphic& g) { g.TextCentered("Hello", 10, 5, 150, 25, -1); },
                     [](XGraphic& g) { g.Text("Hello", 14, 5 + 5 + 3); }));
    EXPECT_TRUE(same([](XGraphic& g) { g.TextCentered("Hello world", 10, 5, 20, 15, 0); },
                     [](XGraphic& g) { g.Text("Hello world", 14, 5 + 3); }));
    EXPECT_TRUE(same(
        [](XGraphic& g) { g.TextCentered("Hello", 10, 5, 150, 15, 0); },
        [](XGraphic& g) { g.Text("Hello", 10 + (150 - g.TextSize("Hello").right) / 2, 5 + 3); }));
    EXPECT_TRUE(same(
        [](XGraphic& g) {
            g.SetAlign(-1);
            g.TextInRect("Hello", XRect(10, 5, 159, 19));
        },
        [](XGraphic& g) { g.Text("Hello", 14, 5 + 3); }));
    // The drawing pass's SetClip makes every control start centred again.
    TextSurface reset;
    reset.g.SetAlign(-1);
    reset.g.SetClip(reset.g.SurfaceRect(), reset.g.SurfaceRect());
    EXPECT_EQ(reset.g.Align(), 0);
}

TEST(XFontTest, WrappedTextHeights)
{
    TextSurface s(200, 200);
    const XRect box(0, 0, 99, 199);
    EXPECT_EQ(s.g.TextWrapped("", box), 14);
    EXPECT_EQ(s.g.TextWrapped("\r\n\n\r", box), 14);  // leading breaks are skipped
    EXPECT_EQ(s.g.TextWrapped("one", box), 2 + 16 + 12);
    EXPECT_EQ(s.g.TextWrapped("one\r\ntwo", box), 2 + 32 + 12);
    EXPECT_EQ(s.g.TextWrapped("one\n\rtwo", box), 2 + 32 + 12);
    EXPECT_EQ(s.g.TextWrapped("one\n\ntwo", box), 2 + 48 + 12);
    EXPECT_EQ(s.g.TextWrapped("one\r\n", box), 2 + 16 + 12);

    // A word that would make the line reach width - 4 goes to the next line.
    const int word = s.g.TextSize("abc").right;
    const int space = s.g.TextSize(" ").right;
    const int twoWords = word + space + word;
    EXPECT_EQ(s.g.TextWrapped("abc abc", XRect(0, 0, twoWords + 4, 99)), 2 + 16 + 12);
    EXPECT_EQ(s.g.TextWrapped("abc abc", XRect(0, 0, twoWords + 3, 99)), 2 + 32 + 12);
    // A word longer than the box keeps a line of its own.
    EXPECT_EQ(s.g.TextWrapped("a incomprehensibilities b", XRect(0, 0, 30, 99)), 2 + 48 + 12);
}

TEST(XFontTest, HugeAndBrokenTextsAreHandled)
{
    std::string huge;
    for (int i = 0; huge.size() < 10 * 1024; ++i) huge += (i % 7 == 6) ? "wörd\xFF " : "word ";
    TextSurface s(300, 100);
    const int width = s.g.TextSize(huge).right;
    EXPECT_GT(width, 10000);
    s.g.Text(huge, -5000, 20);
    s.g.TextCentered(huge, 0, 0, 300, 100, 0);
    const int height = s.g.TextWrapped(huge, XRect(0, 0, 299, 99));
    EXPECT_GT(height, 16 * 30);

    // Invalid bytes measure and draw as U+FFFD.
    TextSurface broken, replaced;
    broken.g.Text("a\xC3(\xFF", 10, 10);
    replaced.g.Text("a\xEF\xBF\xBD(\xEF\xBF\xBD", 10, 10);
    EXPECT_EQ(broken.Pixels(), replaced.Pixels());
    EXPECT_NE(broken.Ink().right, INT32_MIN);
}

TEST(XFontTest, TextIsClippedAndBlendedOverThePixels)
{
    TextSurface s;
    s.g.SetClip(XRect(0, 0, 199, 39), XRect(0, 0, 24, 39));
    s.g.SetTextColor(XColor(255, 0, 0));
    s.g.Text("WWWWWWWW", 5, 15);
    const XRect ink = s.Ink();
    EXPECT_LE(ink.right, 24);
    EXPECT_GE(ink.right, 20);
    // Antialiasing: some pixels are partly red over white.
    bool partial = false;
    for (std::uint32_t p : s.g.Pixels()) partial |= p != 0xFFFFFFu && p != 0xFF0000u;
    EXPECT_TRUE(partial);
    for (std::uint32_t p : s.g.Pixels()) ASSERT_EQ(p >> 16, 0xFFu);  // red stays full
}

// The recorded boxes hold all the ink, lie within the clip, and start afresh with each picture.
TEST(XFontTest, RecordedTextAreasHoldTheInkWithinTheClip)
{
    TextSurface s;
    s.g.RecordTextAreas(true);
    s.g.Begin(nullptr, 200, 40);
    s.g.SetFillColor(XColor(255, 255, 255));
    s.g.FillRect(0, 0, 200, 40);
    s.g.SetClip(XRect(0, 0, 199, 39), XRect(0, 0, 60, 39));
    s.g.Text("WWWWWWWW", 5, 15);
    s.g.Text("hidden", 100, 15);
    ASSERT_EQ(s.g.TextAreas().size(), 1u);
    const XRect area = s.g.TextAreas()[0];
    const XRect ink = s.Ink();
    EXPECT_EQ(area.right, 60);
    EXPECT_TRUE(area.Intersect(ink) == ink);
    s.g.Begin(nullptr, 200, 40);
    EXPECT_TRUE(s.g.TextAreas().empty());
    s.g.RecordTextAreas(false);
    s.g.Text("W", 5, 15);
    EXPECT_TRUE(s.g.TextAreas().empty());
}

// Editors of several plug-in instances may draw on several threads; fonts are shared.
TEST(XFontTest, ThreadsDrawingWithSharedFontsGetTheSamePictures)
{
    const auto draw = [](std::vector<std::uint32_t>& out) {
        for (int round = 0; round < 20; ++round) {
            TextSurface s;
            s.g.SetFont(round % 2 ? FourCC("xfbg") : FourCC("xfsm"));
            s.g.Text("Pack my box with five dozen liquor jugs \xE2\x82\xAC", 2, 10);
            s.g.MakeFont(20 + round, 0);
            s.g.Text(std::string(1, static_cast<char>('A' + round)), 150, 10);
            if (round == 19) out = s.Pixels();
        }
    };
    std::vector<std::uint32_t> one, two;
    std::thread t1(draw, std::ref(one));
    std::thread t2(draw, std::ref(two));
    t1.join();
    t2.join();
    EXPECT_FALSE(one.empty());
    EXPECT_EQ(one, two);
}

TEST(GraphicsReference, TextInEveryFont)
{
    XGraphic g;
    testsupport::RecordTextForReference(g);
    g.Begin(nullptr, 260, 120);
    g.SetFillColor(XColor(240, 240, 245));
    g.FillRect(0, 0, 260, 120);
    g.SetTextColor(XColor(0, 0, 0));
    int y = 6;
    for (std::int32_t id : {FourCC("xfsm"), FourCC("xfdf"), FourCC("xfbg"), FourCC("xfhg")}) {
        g.SetFont(id);
        g.Text("Grand Piano 01 \xE2\x80\x94 Velocity", 6, y + 3);
        y += g.TextSize("x").bottom + 4;
    }
    g.SetFillColor(XColor(0, 30, 0));
    g.FillRect(0, 90, 260, 30);
    g.SetTextColor(XColor(0, 203, 31));
    g.MakeFont(10, 0);
    g.TextCentered("Strings Ensemble", 0, 90, 260, 30, 0);
    testsupport::ExpectMatchesReference(g, "graphics-text");
}

}  // namespace
