// The settings window: exactly one volume controller box checked, the preload minimum never
// above the tolerance, the memory figures, each change surviving a fresh load of the
// preferences, the tabs, closing, and the pictures of both pages.
#include <gtest/gtest.h>

#include <memory>

#include "editor/EditorCodes.h"
#include "editor/WSettings.h"
#include "editor/XViewControl.h"
#include "editor/XViewDisk.h"
#include "fixtures/TempFolder.h"
#include "gui/XButton.h"
#include "gui/XCheckBox.h"
#include "gui/XFader.h"
#include "gui/XLabel.h"
#include "gui/XTabs.h"
#include "prefs/GigaPrefs.h"
#include "tests/editor/DialogsRig.h"

namespace {

constexpr platform::MemoryStatus kMachine {8ull << 30, 6ull << 30};

// The window open over a host, on preferences stored in a home of its own.
class SettingsRig : public ::testing::Test {
protected:
    void Open(float lmin = 1.0f, float lmax = 3.0f, std::int32_t cvol = 7)
    {
        prefs.Load(GigaPrefs::kKeyName);
        prefs.SetPreloadMinimum(lmin);
        prefs.SetPreloadTolerance(lmax);
        prefs.SetVolumeController(cvol);
        ASSERT_TRUE(prefs.Save());
        window = host.Show(std::make_unique<WSettings>(prefs), editorcode::kSettings);
        disk = window->MemoryPage();
    }

    testsupport::IsolatedHome home;
    GigaPrefs prefs {kMachine};
    dialogsrig::Host host {600, 400};
    WSettings* window = nullptr;
    XViewDisk* disk = nullptr;
};

// What a fresh start of the plug-in reads from the store.
GigaPrefs* Reload(GigaPrefs& fresh)
{
    EXPECT_TRUE(fresh.Load(GigaPrefs::kKeyName));
    return &fresh;
}

class SettingsVolumeTest : public SettingsRig,
                           public ::testing::WithParamInterface<std::tuple<int, bool, int>> {};

TEST_P(SettingsVolumeTest, ExactlyOneBoxStaysChecked)
{
    const auto [before, clickExpression, after] = GetParam();
    Open(1.0f, 3.0f, before);
    XViewControl* page = window->ControlsPage();
    host.Click(clickExpression ? page->ExpressionBox() : page->VolumeBox());
    EXPECT_EQ(page->VolumeBox()->IsOn(), after == 7);
    EXPECT_EQ(page->ExpressionBox()->IsOn(), after == 11);
    EXPECT_EQ(prefs.VolumeController(), after);
    GigaPrefs fresh(kMachine);
    EXPECT_EQ(Reload(fresh)->VolumeController(), after);
}

INSTANTIATE_TEST_SUITE_P(editor, SettingsVolumeTest,
                         ::testing::Values(std::tuple(7, false, 7), std::tuple(7, true, 11),
                                           std::tuple(11, true, 11), std::tuple(11, false, 7)));

// A fader moved from 1.0 / 3.0 (fine: on the fine step, as with shift), and where both end up.
struct Preload {
    bool minimum;
    double to;
    bool fine;
    float lmin, lmax;
    const char* minimumText;
    const char* toleranceText;
};

class SettingsPreloadTest : public SettingsRig, public ::testing::WithParamInterface<Preload> {};

TEST_P(SettingsPreloadTest, MinimumNeverExceedsTolerance)
{
    const Preload& p = GetParam();
    Open(1.0f, 3.0f);
    (p.minimum ? disk->MinimumFader() : disk->ToleranceFader())->SetValue(p.to, p.fine);
    GigaPrefs fresh(kMachine);
    for (const GigaPrefs* values : {&prefs, Reload(fresh)}) {
        EXPECT_FLOAT_EQ(values->PreloadMinimum(), p.lmin);
        EXPECT_FLOAT_EQ(values->PreloadTolerance(), p.lmax);
    }
    EXPECT_FLOAT_EQ(disk->ToleranceFader()->GetValue(), p.lmax);
    EXPECT_EQ(disk->MinimumValue()->Text(), p.minimumText);
    EXPECT_EQ(disk->ToleranceValue()->Text(), p.toleranceText);
}

INSTANTIATE_TEST_SUITE_P(
    editor, SettingsPreloadTest,
    ::testing::Values(Preload {true, 2.0, false, 2.0f, 3.0f, "2.00 sec", "3.00 sec"},
                      Preload {true, 3.5, false, 3.5f, 3.5f, "3.50 sec", "3.50 sec"},
                      Preload {true, 3.012, true, 3.012f, 3.012f, "3.01 sec", "3.01 sec"},
                      Preload {false, 0.5, false, 1.0f, 1.0f, "1.00 sec", "1.00 sec"},
                      Preload {false, 3.6, false, 1.0f, 3.6f, "1.00 sec", "3.60 sec"}));

TEST_F(SettingsRig, OpeningShowsTheValuesWithoutChangingThem)
{
    Open(1.01f, 3.0f);
    EXPECT_EQ(disk->MinimumValue()->Text(), "1.01 sec");
    EXPECT_EQ(disk->ToleranceValue()->Text(), "3.00 sec");
    EXPECT_FLOAT_EQ(disk->ToleranceFader()->GetValue(), 3.0);
    EXPECT_EQ(prefs.PreloadMinimum(), 1.01f);
}

TEST(SettingsMemory, FiguresInMegabytesBelowAGigabyte)
{
    EXPECT_EQ(XViewDisk::MemoryText(1023), "1023 MB");
    EXPECT_EQ(XViewDisk::MemoryText(1024), "1.00 GB");
    GigaPrefs small({3072ull << 20, 512ull << 20});
    XViewDisk page(0, 0, 440, 155, small);
    EXPECT_EQ(page.PhysicalMemoryValue()->Text(), "3.00 GB");
    EXPECT_EQ(page.SampleMemoryValue()->Text(), "512 MB");
}

TEST_F(SettingsRig, TabsSwitchPagesAndOkOrEnterCloses)
{
    Open();
    const XTabs* tabs = window->Tabs();
    host.Click(tabs);  // the middle of the bar: no tab
    EXPECT_FALSE(disk->IsVisible());
    const int x = tabs->AbsoluteX() + 150, y = tabs->AbsoluteY() + 8;  // the second tab
    host.MouseDownAt(x, y, 0, false, false);
    host.MouseUpAt(x, y);
    EXPECT_TRUE(disk->IsVisible());
    EXPECT_FALSE(window->ControlsPage()->IsVisible());
    host.Click(window->OkButton());
    host.Tick();
    Open();
    host.Press(kKeyEnter);
    host.Tick();
    EXPECT_EQ(host.closed, 2);
    EXPECT_EQ(host.closedId, FourCC("wset"));
    EXPECT_EQ(host.result, 0);
}

TEST_F(SettingsRig, Pictures)
{
    prefs.Load(GigaPrefs::kKeyName);
    dialogsrig::ExpectPicture(std::make_unique<WSettings>(prefs), "settings_controls");
    auto window = std::make_unique<WSettings>(prefs);
    window->Tabs()->SetTab(WSettings::kMemoryTab);
    dialogsrig::ExpectPicture(std::move(window), "settings_memory");
}

}  // namespace
