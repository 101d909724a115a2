// The built-in skin against the generator that draws it, and the geometry the controls rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "gui/XPic.h"
#include "gui/XSkin.h"
#include "tests/gui/support/ReferenceImage.h"
#include "tools/marlet-skin/SkinArt.h"
#include "tools/marlet-skin/SkinLayout.h"

namespace {

TEST(Skin, EveryPictureIsBuiltInAtItsSize)
{
    std::set<std::string> names;
    for (const SkinEntry& e : SkinArt::Entries()) {
        const std::string name(e.name);
        EXPECT_TRUE(names.insert(name).second) << name << " listed twice";
        EXPECT_TRUE(std::none_of(name.begin(), name.end(), [](char c) { return std::isupper(c); }));
        XPic pic;
        ASSERT_TRUE(pic.Load(name)) << name;
        EXPECT_EQ(pic.Width(), e.width) << name;
        EXPECT_EQ(pic.Height(), e.height) << name;
        // The resource names of the other platform are upper case.
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](char c) { return static_cast<char>(std::toupper(c)); });
        EXPECT_FALSE(XSkin::Find(upper).empty()) << upper;
    }
    EXPECT_EQ(names.size(), 32u);
}

// Run marlet-skin --out resources/skin after changing the drawing.
TEST(Skin, CommittedPicturesAreWhatTheGeneratorDraws)
{
    const std::vector<SkinBitmap> drawn = SkinArt::DrawAll();
    ASSERT_EQ(drawn.size(), SkinArt::Entries().size());
    for (const SkinBitmap& b : drawn) {
        XPic pic(b.name);
        ASSERT_EQ(pic.Width(), b.width) << b.name;
        ASSERT_EQ(pic.Height(), b.height) << b.name;
#ifdef _WIN32
        // The committed pictures' labels are FreeType's; GDI draws them here.
        const std::vector<bool> leftOut = testsupport::LeftOutMask(b.width, b.height, b.text);
#else
        const std::vector<bool> leftOut(b.pixels.size(), false);
#endif
        std::size_t differing = 0;
        for (std::size_t i = 0; i < b.pixels.size(); ++i)
            differing += !leftOut[i] && b.pixels[i] != pic.Pixels()[i] ? 1 : 0;
        EXPECT_EQ(differing, 0u) << b.name << " differs from the drawing";
        EXPECT_EQ(pic.HasMask(), !b.mask.empty()) << b.name;
        for (int y = 0; y < b.height && pic.HasMask(); ++y) {
            for (int x = 0; x < b.width; ++x) {
                ASSERT_EQ(pic.IsMasked(x, y),
                          b.mask[static_cast<std::size_t>(y) * b.width + x] == 0)
                    << b.name << " mask at " << x << ", " << y;
            }
        }
    }
}

// Small controls, icons and the toggles show what lies beneath their corners; panels, strips and
// toolbar buttons are full rectangles.
TEST(Skin, OnlyPicturesDrawnOverOthersHaveAMask)
{
    for (const SkinEntry& e : SkinArt::Entries()) {
        const std::string name(e.name);
        const bool overlay = name.starts_with("icn_") || name.starts_with("led_") ||
                             name.starts_with("tog_") || name.starts_with("vcf_") ||
                             name == "pot_grey.png" || name == "fad_cur.png";
        const XPic pic(name);
        EXPECT_EQ(pic.HasMask(), overlay) << name;
        if (!overlay) continue;
        int shown = 0;
        for (int y = 0; y < pic.Height(); ++y) {
            for (int x = 0; x < pic.Width(); ++x) shown += pic.IsMasked(x, y) ? 0 : 1;
        }
        EXPECT_GT(shown, 0) << name << " shows nothing";
        EXPECT_LT(shown, pic.Width() * pic.Height()) << name << " hides all beneath it";
    }
}

// Buttons derive their idle and pressed looks by changing saturation: everything but the icon
// must be grey, or the button's plate would change colour with its state.
TEST(Skin, ToolbarButtonsChangeOnlyTheirIconWithTheirState)
{
    for (const char* name :
         {"tb_new.png", "tb_open.png", "tb_save.png", "tb_saveas.png", "tb_browse.png",
          "tb_stack.png", "tb_settings.png", "tb_expand.png", "tb_reset.png", "tb_back.png"}) {
        const XPic hover(name);
        ASSERT_TRUE(hover.IsLoaded()) << name;
        XPic idle = hover;
        idle.Saturate(0.0f);
        XPic pressed = hover;
        pressed.Saturate(2.0f);
        int changed = 0;
        for (int y = 0; y < hover.Height(); ++y) {
            for (int x = 0; x < hover.Width(); ++x) {
                const bool icon = x >= 14 && x < 46 && y < 30;
                if (idle.PixelAt(x, y) != hover.PixelAt(x, y)) {
                    ++changed;
                    EXPECT_TRUE(icon) << name << " changes at " << x << ", " << y;
                }
                if (!icon) EXPECT_EQ(pressed.PixelAt(x, y), hover.PixelAt(x, y)) << name;
            }
        }
        if (std::string(name) != "tb_back.png") EXPECT_GT(changed, 40) << name << " has no icon";
    }
}

// The keyboard control maps a point to a key with this geometry; the picture must agree.
TEST(Skin, KeyboardPaintsEachKeyWhereTheControlHitsIt)
{
    const XPic keys("keyboard.png");
    ASSERT_TRUE(keys.IsLoaded());
    const auto brightness = [&](int x, int y) {
        const std::uint32_t p = keys.PixelAt(x, y);
        return static_cast<int>((p >> 16 & 255) + (p >> 8 & 255) + (p & 255)) / 3;
    };
    int white = 0;
    for (int note = layout::kFirstNote; note <= layout::kLastNote; ++note) {
        const int x = layout::KeyLeft(note);
        if (layout::IsBlackKey(note)) {
            for (int dx = 1; dx < layout::kBlackKeyWidth - 1; ++dx) {
                EXPECT_LT(brightness(x + dx, 20), 80) << "black key " << note;
            }
            // Just beside it, in the black-key zone, the white neighbours show.
            EXPECT_GT(brightness(x - 2, 20), 150) << note;
            EXPECT_GT(brightness(x + layout::kBlackKeyWidth + 2, 20), 150) << note;
        } else {
            EXPECT_EQ(x, white * layout::kWhiteKeyWidth) << note;
            ++white;
            // A dark line at the key's left edge, light key from the next column on.
            EXPECT_LT(brightness(x, 65), 100) << "white key " << note;
            for (int dx = 1; dx < layout::kWhiteKeyWidth; ++dx) {
                EXPECT_GT(brightness(x + dx, 65), 180) << "white key " << note << " + " << dx;
            }
        }
    }
    EXPECT_EQ(white, 52);
    EXPECT_LT(brightness(layout::kKeyboardWidth - 1, 65), 100) << "the closing edge";
}

}  // namespace
