#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "gui/XColor.h"
#include "gui/XGraphic.h"
#include "gui/XPic.h"
#include "gui/XRect.h"
#include "gui/XRegn.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

using testsupport::Art;
using Rows = std::vector<std::string>;

// Records what the surface hands to its target.
struct RecordingTarget : XTarget {
    void Put(const std::uint32_t* pixels, int width, int height, int x, int y) override
    {
        ++puts;
        last.assign(pixels, pixels + static_cast<std::ptrdiff_t>(width) * height);
        lastWidth = width, lastHeight = height, lastX = x, lastY = y;
    }
    int puts = 0;
    std::vector<std::uint32_t> last;
    int lastWidth = 0, lastHeight = 0, lastX = 0, lastY = 0;
};

constexpr std::uint32_t kRed = 0xFF0000;
const XColor kGrey(100, 100, 100);

class Surface : public ::testing::Test {
protected:
    void SetUp() override { g.Begin(&target, 16, 12); }
    Rows Whole(testsupport::Legend legend) { return Art(g, g.SurfaceRect(), legend); }

    RecordingTarget target;
    XGraphic g;
};

TEST(XColorTest, PackedValueAndDerivedColours)
{
    const XColor c(0x11223344u);
    EXPECT_EQ(c, XColor(0x11, 0x22, 0x33, 0x44));
    EXPECT_EQ(c.Pixel(), 0x112233u);
    EXPECT_EQ(c.GdiValue(), 0x332211u);
    EXPECT_TRUE(XColor().IsTransparent());

    // Truncated, clamped to 255, alpha kept; a negative factor gives black, not garbage.
    EXPECT_EQ(XColor(200, 101, 10, 7).Scaled(1.3f), XColor(255, 131, 13, 7));
    EXPECT_EQ(XColor(200, 101, 10, 7).Scaled(0.7f), XColor(140, 70, 7, 7));
    EXPECT_EQ(XColor(200, 101, 10).Scaled(-2.0f), XColor(0, 0, 0));
    EXPECT_EQ(XColor(0, 100, 255, 9).Inverted(), XColor(255, 155, 0, 9));
}

TEST(XRectTest, CornersAreInclusive)
{
    XRect r(0, 0, 9, 9);
    EXPECT_EQ(r.Width(), 10);
    EXPECT_EQ(r.Height(), 10);
    EXPECT_TRUE(r.Contains(9, 9));
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_FALSE(r.Contains(10, 9));
    EXPECT_FALSE(r.Contains(-1, 0));

    r.Inflate(-2);
    EXPECT_EQ(r, XRect(2, 2, 7, 7));
    r.Offset(10, -2);
    EXPECT_EQ(r, XRect(12, 0, 17, 5));
    EXPECT_TRUE(XRect(0, 0, 4, 4).Intersect(XRect(5, 0, 9, 4)).IsEmpty());
    EXPECT_EQ(XRect::FromSize(3, 4, 2, 1), XRect(3, 4, 4, 4));
    // Extremes saturate instead of wrapping.
    EXPECT_EQ(XRect(INT_MIN, 0, INT_MAX, 0).Width(), INT_MAX);
    XRect huge(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    huge.Inflate(5);
    EXPECT_EQ(huge, XRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
}

TEST(XRegnTest, PointsInOrderAndOutOfRangeIndex)
{
    XRegn regn;
    regn.AddPoint(1, 2);
    regn.AddPoint(-3, 4);
    int x = 7, y = 7;
    EXPECT_TRUE(regn.GetPoint(1, x, y));
    EXPECT_EQ(x, -3);
    EXPECT_EQ(y, 4);
    EXPECT_FALSE(regn.GetPoint(2, x, y));
    EXPECT_FALSE(regn.GetPoint(-1, x, y));
    regn.Clear();
    EXPECT_EQ(regn.Count(), 0);
}

TEST_F(Surface, FillRectCoversExactlyWidthByHeight)
{
    g.SetFillColor(XColor(255, 0, 0));
    g.FillRect(2, 1, 4, 2);
    g.SetFillColor(XColor(0, 255, 0, 0));  // transparent: nothing
    g.FillRect(0, 0, 16, 12);
    EXPECT_EQ(Art(g, XRect(0, 0, 7, 3), {{kRed, '#'}}), (Rows {
                                                            "........",
                                                            "..####..",
                                                            "..####..",
                                                            "........",
                                                        }));
}

TEST_F(Surface, BadSizesAndPlacesDrawNothingAndNeverCrash)
{
    g.SetFillColor(XColor(255, 0, 0));
    g.SetPen(XColor(255, 0, 0));
    g.FillRect(2, 2, 0, 5);
    g.FillRect(2, 2, 5, -1);
    g.FillRect(-10, -10, 5, 5);
    g.FillRect(16, 0, 5, 5);
    g.FillRect(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    g.FillRect(INT_MIN, INT_MIN, 10, 10);
    g.Frame(XRect(5, 5, 2, 2), XColor(255, 0, 0));  // right of left: empty
    g.BevelRect(XRect(20, 20, 30, 30), XColor(255, 0, 0), INT_MIN);
    g.Gradient(XRect(0, 100, 15, 200), XColor(255, 0, 0), XColor(255, 0, 0));
    g.Line(INT_MIN, -5, INT_MAX, -3);
    g.DrawPicPart(XPic(), 0, 0, 5, 5, 0, 0);
    for (std::uint32_t p : g.Pixels()) ASSERT_EQ(p, 0u);

    // A fill over everything covers the surface and no more; a line across the whole range
    // of int is walked only where it crosses the surface.
    g.FillRect(INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX);
    for (std::uint32_t p : g.Pixels()) ASSERT_EQ(p, kRed);
    g.SetPen(XColor(0, 0, 0));
    g.Line(INT_MIN, 5, INT_MAX, 5);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(g.PixelAt(x, 5), 0u) << x;

    // A surface never begun, and surfaces of no size, negative size or absurd size, are empty
    // and harmless.
    XGraphic unbegun;
    unbegun.SetFillColor(XColor(255, 0, 0));
    unbegun.FillRect(0, 0, 1, 1);
    unbegun.Line(0, 0, 3, 3);
    unbegun.Gradient(XRect(0, 0, 3, 3), XColor(), XColor());
    unbegun.SetClippingOff(true);
    unbegun.SetClip(XRect(0, 0, 9, 9), XRect(0, 0, 9, 9));
    unbegun.FillRect(0, 0, 1, 1);
    EXPECT_TRUE(unbegun.Pixels().empty());
    for (auto [w, h] : {std::pair {0, 0}, {-5, 10}, {10, -5}, {INT_MAX, 2}, {100000, 100000}}) {
        XGraphic empty;
        empty.Begin(&target, w, h);
        EXPECT_EQ(empty.Width(), 0);
        empty.SetFillColor(XColor(255, 0, 0));
        empty.FillRect(0, 0, 10, 10);
        empty.Line(0, 0, 9, 9);
        empty.Text("text", 0, 0);
        EXPECT_EQ(empty.PixelAt(0, 0), 0u);
    }
}

TEST_F(Surface, LineToLeavesOutItsEndPixelAndLineDrawsIt)
{
    g.SetPen(XColor(255, 0, 0));
    g.MoveTo(1, 0);
    g.LineTo(5, 0);
    g.Line(1, 2, 5, 2);
    g.MoveTo(5, 4);
    g.LineTo(1, 4);  // backwards: (1, 4) left out
    g.Line(5, 6, 1, 6);
    g.MoveTo(1, 8);
    g.LineTo(4, 11);  // diagonal
    g.Line(6, 8, 9, 11);
    g.Line(12, 8, 12, 8);  // a point
    EXPECT_EQ(Art(g, XRect(0, 0, 13, 11), {{kRed, '#'}}), (Rows {
                                                              ".####.........",
                                                              "..............",
                                                              ".#####........",
                                                              "..............",
                                                              "..####........",
                                                              "..............",
                                                              ".#####........",
                                                              "..............",
                                                              ".#....#.....#.",
                                                              "..#....#......",
                                                              "...#....#.....",
                                                              ".........#....",
                                                          }));
}

TEST_F(Surface, FramesAndBevelsTakeTheirCornersLikeGdi)
{
    // Light = grey * 1.3 (130), dark = grey * 0.7 (70), inset dark = grey * 1.2 (120).
    const testsupport::Legend legend = {
        {0x646464, 'g'}, {0x828282, 'L'}, {0x464646, 'D'}, {0x787878, 'd'}, {kRed, '#'}};
    g.Frame(XRect(0, 0, 3, 2), XColor(255, 0, 0));
    g.InsetFrame(XRect(5, 0, 9, 4), kGrey);
    g.BevelRect(XRect(0, 5, 6, 11), kGrey, 2);
    g.BevelRect(XRect(8, 6, 11, 9), XColor(), 1);  // transparent: edges only, black on black
    EXPECT_EQ(Whole(legend), (Rows {
                                 "####............",
                                 "#..#..ggd.......",
                                 "####..g.d.......",
                                 "......gdd.......",
                                 "................",
                                 "LLLLLLD.........",
                                 "LLLLLDD.........",
                                 "LLgggDD.........",
                                 "LLgggDD.........",
                                 "LLgggDD.........",
                                 "LLDDDDD.........",
                                 "LDDDDDD.........",
                             }));
}

TEST_F(Surface, RoundFillCutsItsCornersAndArrowPointsDown)
{
    g.Begin(&target, 20, 12);
    g.RoundFill(XRect(0, 0, 10, 9), XColor(255, 0, 0));
    g.SetFillColor(XColor(0, 0, 255));
    g.DownArrow(12, 0);
    EXPECT_EQ(Art(g, XRect(0, 0, 18, 9), {{kRed, '#'}, {0x0000FF, 'v'}}), (Rows {
                                                                              "....###.....vvvvvvv",
                                                                              "..#######....vvvvv.",
                                                                              ".#########....vvv..",
                                                                              ".#########.....v...",
                                                                              "###########........",
                                                                              "###########........",
                                                                              ".#########.........",
                                                                              ".#########.........",
                                                                              "..#######..........",
                                                                              "....###............",
                                                                          }));
}

TEST_F(Surface, PolygonFillsAlternateAndLeavesOutRightAndBottomEdges)
{
    XRegn square;
    for (auto [x, y] : {std::pair {0, 0}, {4, 0}, {4, 3}, {0, 3}}) square.AddPoint(x, y);
    g.FillPolygon(square, XColor(255, 0, 0));
    // An outline that runs round an inner square in the same sense as round the outer one:
    // the winding rule would fill the inner square, alternate fill leaves it empty.
    XRegn twice;
    for (auto [x, y] : {std::pair {6, 0},
                        {14, 0},
                        {14, 8},
                        {6, 8},
                        {6, 0},
                        {8, 2},
                        {12, 2},
                        {12, 6},
                        {8, 6},
                        {8, 2}}) {
        twice.AddPoint(x, y);
    }
    g.FillPolygon(twice, XColor(0, 0, 255));
    XRegn line;
    line.AddPoint(0, 10);
    line.AddPoint(3, 10);
    line.AddPoint(3, 7);
    g.Polyline(line, XColor(0, 255, 0));
    EXPECT_EQ(Whole({{kRed, '#'}, {0x0000FF, 'o'}, {0x00FF00, '-'}}), (Rows {
                                                                          "####..oooooooo..",
                                                                          "####..oooooooo..",
                                                                          "####..oo....oo..",
                                                                          "......oo....oo..",
                                                                          "......oo....oo..",
                                                                          "......oo....oo..",
                                                                          "......oooooooo..",
                                                                          "......oooooooo..",
                                                                          "...-............",
                                                                          "...-............",
                                                                          "----............",
                                                                          "................",
                                                                      }));
}

TEST_F(Surface, ClipTranslateAndClippingOff)
{
    g.SetFillColor(XColor(255, 0, 0));
    g.SetClip(XRect(2, 2, 9, 9), XRect(4, 3, 20, 5));
    g.FillRect(0, 0, 3, 3);  // control's (0, 0) is surface (2, 2); clipped at (4, 3)
    g.Translate(-6, 0);      // origin moves right by 6; the clip stays
    g.FillRect(0, 1, 1, 1);  // surface (8, 3)
    g.FillRect(0, 4, 1, 1);  // surface (8, 6): outside the clip
    EXPECT_EQ(g.OriginX(), 8);
    EXPECT_EQ(Art(g, XRect(0, 0, 10, 7), {{kRed, '#'}}), (Rows {
                                                             "...........",
                                                             "...........",
                                                             "...........",
                                                             "....#...#..",
                                                             "....#......",
                                                             "...........",
                                                             "...........",
                                                             "...........",
                                                         }));

    g.SetClippingOff(true);
    g.SetClip(XRect(0, 0, 3, 3), XRect(0, 0, 0, 0));
    g.FillRect(10, 10, 100, 100);
    EXPECT_EQ(g.PixelAt(15, 11), kRed);
}

TEST_F(Surface, GradientInterpolatesSixteenBitChannelsPerRow)
{
    g.Gradient(XRect(0, 0, 3, 3), XColor(0, 255, 10), XColor(255, 0, 10));
    // Row i of 4: (top * 256 * (4 - i) + bottom * 256 * i) / 4 >> 8.
    EXPECT_EQ(g.PixelAt(0, 0), 0x00FF0Au);
    EXPECT_EQ(g.PixelAt(3, 1), 0x3FBF0Au);
    EXPECT_EQ(g.PixelAt(0, 2), 0x7F7F0Au);
    EXPECT_EQ(g.PixelAt(0, 3), 0xBF3F0Au);
    EXPECT_EQ(g.PixelAt(4, 3), 0u);
}

TEST_F(Surface, LcdBoxIsSevenFills)
{
    g.Begin(&target, 40, 20);
    g.LcdBox(0, 0, 40, 20);  // d = 10
    const std::vector<std::tuple<int, int, std::uint32_t>> expected = {
        {0, 0, 0x000000},  {1, 1, 0x252525},  {3, 2, 0x243322},  {5, 4, 0x213D1E},
        {6, 6, 0x254522},  {6, 9, 0x254522},  {3, 10, 0x061400}, {5, 10, 0x0A2703},
        {5, 15, 0x0A2703}, {5, 16, 0x061400}, {3, 17, 0x061400}, {3, 18, 0x000000},
        {39, 19, 0x000000}};
    for (auto [x, y, rgb] : expected) EXPECT_EQ(g.PixelAt(x, y), rgb) << x << "," << y;
}

TEST_F(Surface, HeaderBarStripAtTheBottom)
{
    g.Begin(&target, 20, 50);
    g.HeaderBar(XRect(0, 0, 19, 49), XColor(10, 20, 30));
    EXPECT_EQ(g.PixelAt(5, 11), 0x0A141Eu);   // above the strip
    EXPECT_EQ(g.PixelAt(5, 12), 0x000000u);   // the strip's top line
    EXPECT_EQ(g.PixelAt(19, 13), 0xE6E6E6u);  // the light line below it
    EXPECT_EQ(g.PixelAt(0, 14), 0xBEBEC8u);   // two rows into the gradient
    EXPECT_EQ(g.PixelAt(0, 49), 0x0F1822u);   // its last row, nearly the colour

    // A bar lower than the strip keeps the strip inside itself.
    g.SetFillColor(XColor(1, 2, 3));
    g.FillRect(0, 0, 20, 50);
    g.HeaderBar(XRect(0, 10, 19, 14), XColor(10, 20, 30));
    EXPECT_EQ(g.PixelAt(0, 9), 0x010203u);
    EXPECT_EQ(g.PixelAt(0, 10), 0x000000u);
    EXPECT_EQ(g.PixelAt(0, 11), 0xE6E6E6u);
    EXPECT_EQ(g.PixelAt(0, 15), 0x010203u);
}

TEST_F(Surface, BeginKeepsPixelsOfTheSameSizeAndPresentsThemAll)
{
    g.SetFillColor(XColor(255, 0, 0));
    g.FillRect(0, 0, 1, 1);
    g.Begin(&target, 16, 12);
    EXPECT_EQ(g.PixelAt(0, 0), kRed);
    g.Present();
    ASSERT_EQ(target.puts, 1);
    EXPECT_EQ(target.lastWidth, 16);
    EXPECT_EQ(target.last[0], kRed);
    g.Begin(&target, 17, 12);
    EXPECT_EQ(g.PixelAt(0, 0), 0u);

    // A drag image: its own size, handed over at its rectangle's place.
    XGraphic image;
    image.BeginImage(XRect(30, 40, 33, 41), &target);
    image.SetFillColor(XColor(255, 0, 0));
    image.FillRect(0, 0, 100, 100);
    image.EndImage();
    EXPECT_EQ(target.puts, 2);
    EXPECT_EQ(target.lastWidth, 4);
    EXPECT_EQ(target.lastHeight, 2);
    EXPECT_EQ(target.lastX, 30);
    EXPECT_EQ(target.lastY, 40);
    EXPECT_EQ(target.last, std::vector<std::uint32_t>(8, kRed));
}

TEST(GraphicsReference, PanelOfPrimitives)
{
    XGraphic g;
    g.Begin(nullptr, 160, 100);
    g.SetFillColor(XColor(140, 140, 150));
    g.FillRect(0, 0, 160, 100);
    g.HeaderBar(XRect(0, 0, 159, 45), XColor(90, 100, 130));
    g.BevelRect(XRect(6, 50, 45, 69), XColor(160, 160, 220), 2);
    g.InsetFrame(XRect(50, 50, 89, 69), XColor(60, 60, 60));
    g.RoundFill(XRect(95, 50, 154, 69), XColor(124, 168, 255));
    g.Gloss(XRect(6, 74, 55, 95), XColor(180, 180, 200));
    g.Frame(XRect(6, 74, 55, 95), XColor(60, 60, 60));
    g.LcdBox(60, 74, 60, 22);
    g.SetFillColor(XColor(240, 240, 240));
    g.DownArrow(128, 80);
    g.DoubleBevel(XRect(140, 76, 153, 89), XColor(0, 0, 30));
    XRegn check;
    for (auto [x, y] :
         {std::pair {20, 20}, {28, 12}, {31, 15}, {20, 26}, {14, 20}, {17, 17}, {20, 20}}) {
        check.AddPoint(x, y);
    }
    g.FillPolygon(check, XColor(150, 180, 250));
    g.Polyline(check, XColor(0, 0, 0));
    g.SetPen(XColor(255, 255, 255));
    g.Line(40, 10, 70, 30);
    g.MoveTo(70, 10);
    g.LineTo(40, 30);
    testsupport::ExpectMatchesReference(g, "graphics-primitives");
}

}  // namespace
