// The host's editor keys as the editor's controls receive them: the virtual-key table, the
// modifiers, and keys that are always taken.
#include <gtest/gtest.h>

#include <tuple>

#include "gui/XEvent.h"
#include "plugin/KyVstWindow.h"

namespace {

class KeyTable : public testing::TestWithParam<std::tuple<unsigned char, std::int32_t>> {};

TEST_P(KeyTable, VirtualKeysBecomeTheControlsKeys)
{
    const auto [virtualKey, code] = GetParam();
    EXPECT_EQ(KyVstWindow::TranslateKey(virtualKey), code);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    testing::Values(std::tuple {vst::VKEY_UP, kKeyUp}, std::tuple {vst::VKEY_DOWN, kKeyDown},
                    std::tuple {vst::VKEY_LEFT, kKeyLeft}, std::tuple {vst::VKEY_RIGHT, kKeyRight},
                    std::tuple {vst::VKEY_DELETE, kKeyDelete},
                    std::tuple {vst::VKEY_BACK, kKeyBackspace}, std::tuple {vst::VKEY_TAB, kKeyTab},
                    std::tuple {vst::VKEY_RETURN, kKeyEnter},
                    std::tuple {vst::VKEY_ENTER, kKeyEnter},
                    std::tuple {vst::VKEY_ESCAPE, kKeyEscape},
                    std::tuple {vst::VKEY_SPACE, kKeyChar}, std::tuple {vst::VKEY_F1, kKeyChar},
                    std::tuple {0, kKeyChar}, std::tuple {255, kKeyChar}));

TEST(EditorKeys, ShiftControlAndCommandPassAlternateDoesNot)
{
    EXPECT_EQ(KyVstWindow::TranslateModifiers(vst::MODIFIER_SHIFT), kModShift);
    EXPECT_EQ(KyVstWindow::TranslateModifiers(vst::MODIFIER_CONTROL), kModControl);
    EXPECT_EQ(KyVstWindow::TranslateModifiers(vst::MODIFIER_COMMAND), kModCommand);
    EXPECT_EQ(KyVstWindow::TranslateModifiers(vst::MODIFIER_ALTERNATE), 0);
    EXPECT_EQ(KyVstWindow::TranslateModifiers(0xFF), kModShift | kModControl | kModCommand);
}

}  // namespace
