#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/XEvent.h"
#include "gui/XFont.h"
#include "gui/win32/XWindowWin32.h"

namespace {

XInput Key(std::uint32_t key, bool character, std::int32_t modifiers, char16_t& high, bool& taken)
{
    XInput input;
    taken = XWindowWin32::KeyInput(key, character, modifiers, high, input);
    return input;
}

TEST(WindowWin32Keys, VirtualKeysCharactersAndSurrogates)
{
    char16_t high = 0;
    bool taken = false;
    EXPECT_EQ(Key(VK_LEFT, false, kModShift, high, taken).code, kKeyLeft);
    EXPECT_TRUE(taken);
    EXPECT_EQ(Key(VK_RETURN, false, 0, high, taken).code, kKeyEnter);
    EXPECT_EQ(Key(VK_DELETE, false, 0, high, taken).code, kKeyDelete);
    // Letters and function keys as virtual keys are left to WM_CHAR or dropped.
    Key('A', false, 0, high, taken);
    EXPECT_FALSE(taken);
    Key(VK_F5, false, 0, high, taken);
    EXPECT_FALSE(taken);

    XInput input = Key(0xE9, true, 0, high, taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(input.character, 0xE9);
    EXPECT_EQ(input.code, kKeyChar);
    // Backspace, enter, tab and escape came as virtual keys already: not twice.
    for (std::uint32_t twice : {8u, 9u, 13u, 27u}) {
        Key(twice, true, 0, high, taken);
        EXPECT_FALSE(taken) << twice;
    }
    // Control+C arrives as its control character and stays, for the copy command.
    input = Key(3, true, kModControl, high, taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(input.character, 3);

    // U+1F600 comes in two halves; a lone low half is dropped.
    Key(0xD83D, true, 0, high, taken);
    EXPECT_FALSE(taken);
    input = Key(0xDE00, true, 0, high, taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(input.character, 0x1F600);
    Key(0xDE00, true, 0, high, taken);
    EXPECT_FALSE(taken);
}

TEST(FontGdi, EmbeddedFaceKeepsTheCellAndDraws)
{
    for (bool bold : {false, true}) {
        auto font = XFont::Get(16, bold);
        ASSERT_TRUE(font) << bold;
        EXPECT_EQ(font->CellHeight(), 16);
        // Liberation Sans' winAscent is 0.905 of its 1.117 em cell.
        EXPECT_NEAR(font->Ascent(), 13, 1);
        const int wide = font->Measure("WWWW");
        EXPECT_GT(wide, font->Measure("iiii"));
        EXPECT_GT(font->Measure(" "), 0);  // a blank glyph still advances

        std::vector<std::uint32_t> pixels(64 * 20, 0xFFFFFF);
        font->Draw(pixels, 64, 20, XRect(0, 0, 63, 19), 2, 2, 0x000000, "Hg");
        int inked = 0;
        for (std::uint32_t p : pixels) inked += p != 0xFFFFFF;
        EXPECT_GT(inked, 20);
    }
    // Beyond the basic plane: the replacement's glyph, never nothing.
    auto font = XFont::Get(16, false);
    EXPECT_GT(font->Measure("\xF0\x9F\x98\x80"), 0);
}

}  // namespace
