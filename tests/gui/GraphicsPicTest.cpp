#include <gtest/gtest.h>

#include <vector>

#include "gui/XGraphic.h"
#include "gui/XPic.h"
#include "gui/XSkin.h"
#include "platform/QelLog.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

XPic OnePixel(std::uint32_t rgb)
{
    const std::uint32_t pixels[] = {rgb};
    return XPic::FromPixels(1, 1, pixels);
}

TEST(XPicTest, SaturateBrightenTint)
{
    const auto after = [](std::uint32_t rgb, auto change) {
        XPic pic = OnePixel(rgb);
        change(pic);
        return pic.PixelAt(0, 0);
    };
    EXPECT_EQ(after(0x1E3C5A, [](XPic& p) { p.Saturate(0.0f); }), 0x3C3C3Cu);  // (30,60,90) -> 60s
    EXPECT_EQ(after(0x1E3C5A, [](XPic& p) { p.Saturate(1.0f); }), 0x1E3C5Au);
    EXPECT_EQ(after(0x1E3C5A, [](XPic& p) { p.Saturate(2.0f); }), 0x003C78u);  // (0, 60, 120)
    EXPECT_EQ(after(0xF00A02, [](XPic& p) { p.Saturate(2.0f); }), 0xFF0000u);  // clamped both ways
    EXPECT_EQ(after(0x804010, [](XPic& p) { p.Brighten(1.5f); }), 0xC06018u);
    EXPECT_EQ(after(0x804010, [](XPic& p) { p.Brighten(3.0f); }), 0xFFC030u);
    EXPECT_EQ(after(0x646464, [](XPic& p) { p.Tint(XColor(10, 20, 250), 0.5f); }), 0x3C46FFu);
}

TEST(XPicTest, CopiesAreIndependent)
{
    const XPic original = OnePixel(0x1E3C5A);
    XPic grey = original;
    grey.Saturate(0.0f);
    EXPECT_EQ(original.PixelAt(0, 0), 0x1E3C5Au);
    EXPECT_EQ(grey.PixelAt(0, 0), 0x3C3C3Cu);
}

TEST(XPicTest, MissingDamagedAndMisSizedPicturesStayEmpty)
{
    XPic pic;
    EXPECT_FALSE(pic.Load("no-such-picture.png"));
    EXPECT_FALSE(pic.IsLoaded());
    EXPECT_EQ(pic.Width(), 0);

    const std::vector<std::uint32_t> pixels(6, 0x123456);
    std::vector<std::uint8_t> png = testsupport::EncodePng(pixels, 3, 2);
    ASSERT_FALSE(png.empty());
    ASSERT_TRUE(XSkin::Add("Test_Good.png", png));
    EXPECT_FALSE(XSkin::Add("test_good.PNG", png));  // names ignore case
    std::vector<std::uint8_t> cut(png.begin(), png.begin() + static_cast<long>(png.size() / 2));
    ASSERT_TRUE(XSkin::Add("test_cut.png", cut));
    ASSERT_TRUE(XSkin::Add("test_junk.png", std::vector<std::uint8_t>(100, 0x42)));

    EXPECT_TRUE(pic.Load("TEST_GOOD.PNG"));
    EXPECT_EQ(pic.Width(), 3);
    EXPECT_EQ(pic.PixelAt(2, 1), 0x123456u);
    EXPECT_FALSE(pic.HasMask());
    EXPECT_FALSE(pic.Load("test_cut.png"));  // the old picture goes too
    EXPECT_FALSE(pic.IsLoaded());
    EXPECT_FALSE(pic.Load("test_junk.png"));

    EXPECT_FALSE(XPic::FromPixels(2, 2, pixels).IsLoaded());
    EXPECT_FALSE(XPic::FromPixels(0, 0, {}).IsLoaded());
    EXPECT_FALSE(XPic::FromPixels(-3, -2, pixels).IsLoaded());
}

TEST(XPicTest, AlphaGivesTheMaskAndDrawingHonoursIt)
{
    // 3 x 2: the middle column transparent (alpha 0 and alpha just below half).
    const std::vector<std::uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF,
                                               0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<std::uint8_t> mask = {1, 0, 1, 1, 0, 1};
    ASSERT_TRUE(XSkin::Add("test_masked.png", testsupport::EncodePng(pixels, 3, 2, mask)));
    XPic pic("test_masked.png");
    ASSERT_TRUE(pic.IsLoaded());
    EXPECT_TRUE(pic.HasMask());
    EXPECT_TRUE(pic.IsMasked(1, 0));
    EXPECT_FALSE(pic.IsMasked(0, 1));

    XGraphic g;
    g.Begin(nullptr, 8, 4);
    g.SetFillColor(XColor(9, 9, 9));
    g.FillRect(0, 0, 8, 4);
    g.DrawPic(pic, 1, 1);
    using testsupport::Art;
    const testsupport::Legend legend = {{0xFF0000, 'r'}, {0x00FF00, 'g'}, {0x0000FF, 'b'}};
    EXPECT_EQ(Art(g, g.SurfaceRect(), legend, 0x090909),
              (std::vector<std::string> {"........", ".r.b....", ".r.b....", "........"}));

    // A part of a picture without mask, partly off the surface and partly outside the picture.
    const XPic plain = XPic::FromPixels(3, 2, pixels);
    g.DrawPicPart(plain, 5, -1, 3, 2, 1, 0);  // columns 1, 2; its first row falls above
    g.DrawPicPart(plain, 0, 3, 5, 5, 2, 1);   // only (2, 1) of the picture exists
    g.DrawPic(plain, -2, 2);
    EXPECT_EQ(Art(g, g.SurfaceRect(), legend, 0x090909),
              (std::vector<std::string> {".....gb.", ".r.b....", "br.b....", "b......."}));
}

TEST(XPicTest, SkinPicturesAreBuiltIn)
{
    // Every built-in picture decodes (the skin may still be empty while it is being drawn).
    for (const std::string& name : XSkin::Names()) {
        if (name.rfind("test_", 0) == 0 || name.rfind("Test_", 0) == 0) continue;
        XPic pic;
        EXPECT_TRUE(pic.Load(name)) << name;
    }
}

}  // namespace
