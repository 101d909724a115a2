// Buttons, toggles, tabs, selectors, labels and progress bars, driven through a root view as the
// window would drive them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gui/XButton.h"
#include "gui/XCheckBox.h"
#include "gui/XGraphic.h"
#include "gui/XLabel.h"
#include "gui/XListener.h"
#include "gui/XLogo.h"
#include "gui/XPane.h"
#include "gui/XProgress.h"
#include "gui/XSelect.h"
#include "gui/XSkin.h"
#include "gui/XTabs.h"
#include "gui/XTogLed.h"
#include "gui/XToggle.h"
#include "gui/XView.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

using controlsrig::DrawAll;

struct Heard : XListener {
    std::vector<std::string> log;
    void Add(const char* what, int v) { log.push_back(what + std::to_string(v)); }
    void ButtonClicked(XButton*, std::int32_t c) override { Add("click ", c); }
    void ToggleChanged(XToggle*, std::int32_t state) override { Add("toggle ", state); }
    void TabChanged(XTabs*, std::int32_t index) override { Add("tab ", index); }
    void SelectChanged(XSelect*, std::int32_t index) override { Add("select ", index); }
};

using Log = std::vector<std::string>;

void Paint(XControl* c, XColor back, XColor fill, XColor text)
{
    c->SetColor(0, back);
    c->SetColor(1, fill);
    c->SetColor(2, text);
}

// A 4 x 2 picture in strong colours, registered once under `name`.
void RegisterPicture(const char* name, std::uint32_t pixel)
{
    const std::vector<std::uint32_t> pixels(8, pixel);
    XSkin::Add(name, testsupport::EncodePng(pixels, 4, 2));
}

struct ButtonRig : ::testing::Test {
    XView root {0, 0, 200, 100};
    XButton* button = root.Add<XButton>(20, 20, 60, 24, "OK");
    Heard heard;
    XGraphic g;
    ButtonRig() { button->AddListener(&heard); }
};

struct ReleaseCase {
    const char* name;
    std::vector<std::pair<int, int>> path;  // drag points after the press at (30, 30)
    bool clicked;
    bool downBeforeRelease;
};

class ButtonRelease : public ButtonRig, public ::testing::WithParamInterface<ReleaseCase> {};

TEST_P(ButtonRelease, ClicksOnlyWhenReleasedOverTheButton)
{
    const ReleaseCase& c = GetParam();
    ASSERT_TRUE(root.MouseDownAt(30, 30, 0, false, false));
    EXPECT_TRUE(button->IsDown());
    EXPECT_TRUE(heard.log.empty());
    for (auto [x, y] : c.path) root.MouseMoveTo(x, y, false, false);
    EXPECT_EQ(button->IsDown(), c.downBeforeRelease);
    const auto [x, y] = c.path.empty() ? std::pair {30, 30} : c.path.back();
    root.MouseUpAt(x, y);
    EXPECT_FALSE(button->IsDown());
    EXPECT_EQ(heard.log, c.clicked ? Log {"click 0"} : Log {});
}

INSTANTIATE_TEST_SUITE_P(Paths, ButtonRelease,
                         ::testing::Values(ReleaseCase {"inside", {}, true, true},
                                           ReleaseCase {"outside", {{150, 80}}, false, false},
                                           ReleaseCase {"justPastEdge", {{80, 30}}, false, false},
                                           ReleaseCase {
                                               "outAndBack", {{150, 80}, {40, 35}}, true, true}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ButtonRig, ToggleModeFlipsAndClicksOnThePressAlone)
{
    button->SetToggleMode(true);
    root.MouseDownAt(30, 30, 0, false, false);
    EXPECT_TRUE(button->IsDown());
    root.MouseMoveTo(150, 80, false, false);
    root.MouseUpAt(150, 80);
    EXPECT_TRUE(button->IsDown());
    root.MouseDownAt(30, 30, 0, false, false);
    root.MouseUpAt(30, 30);
    EXPECT_FALSE(button->IsDown());
    EXPECT_EQ(heard.log, (Log {"click 0", "click 0"}));

    button->SetDown(true);  // from code: shown, not told
    EXPECT_TRUE(button->IsDown());
    EXPECT_EQ(heard.log.size(), 2u);
}

TEST_F(ButtonRig, PictureLooksFollowHoverAndPress)
{
    RegisterPicture("test_button_face.png", 0x20a060);
    ASSERT_TRUE(button->SetPicture("test_button_face.png"));
    XPic grey("test_button_face.png");
    grey.Saturate(0.0f);
    XPic strong("test_button_face.png");
    strong.Saturate(2.0f);
    const auto face = [&] {
        DrawAll(root, g, false);
        return g.PixelAt(21, 21);
    };
    EXPECT_EQ(face(), grey.PixelAt(1, 1));
    root.MouseMoveTo(30, 30, false, false);
    EXPECT_TRUE(button->IsHovered());
    EXPECT_TRUE(button->IsDirty());
    EXPECT_EQ(face(), 0x20a060u);
    root.MouseDownAt(30, 30, 0, false, false);
    EXPECT_EQ(face(), strong.PixelAt(1, 1));
    root.MouseUpAt(30, 30);
    root.MouseMoveTo(150, 80, false, false);
    EXPECT_FALSE(button->IsHovered());
    EXPECT_EQ(face(), grey.PixelAt(1, 1));
}

TEST_F(ButtonRig, MissingPictureKeepsThePlainLookAndHoverCostsNoRepaint)
{
    EXPECT_FALSE(button->SetPicture("no_such_picture.png"));
    EXPECT_FALSE(button->Picture().IsLoaded());
    DrawAll(root, g);
    const std::uint32_t up = g.PixelAt(50, 22);
    root.MouseMoveTo(30, 30, false, false);
    EXPECT_TRUE(button->IsHovered());
    EXPECT_FALSE(button->IsDirty());
    button->SetHighlight(true);
    root.MouseDownAt(30, 30, 0, false, false);
    DrawAll(root, g, false);
    EXPECT_NE(g.PixelAt(50, 22), up);
    EXPECT_EQ(button->GetColor(1), XColor(124, 168, 255));
    button->SetHighlight(false);
    EXPECT_EQ(button->GetColor(1), XColor(180, 180, 200));
}

TEST(Logo, TakesTheLogoPictureSizeOrKeepsItsOwn)
{
    XView root(0, 0, 400, 60);
    XLogo* logo = root.Add<XLogo>(-150, 5);
    EXPECT_EQ(logo->X(), 250);
    XLogo* sized = root.Add<XLogo>(0, 0, 30, 20);
    EXPECT_EQ(sized->Width(), 30);
    if (!logo->Logo().IsLoaded()) GTEST_SKIP() << "no logo picture in the skin";
    EXPECT_EQ(logo->Width(), logo->Logo().Width());
    EXPECT_EQ(logo->Height(), logo->Logo().Height());
    Heard heard;
    logo->AddListener(&heard);
    root.MouseDownAt(260, 10, 0, false, false);
    root.MouseUpAt(260, 10);
    EXPECT_EQ(heard.log, Log {"click 0"});
}

TEST(Toggle, PressFlipsAndBroadcastsWithoutTakingThePress)
{
    XView root(0, 0, 200, 100);
    Heard heard;
    XToggle* toggle = root.Add<XToggle>(10, 10, 40, 20, "On");
    XCheckBox* check = root.Add<XCheckBox>(10, 40, 80, 20, "Check");
    XTogLed* led = root.Add<XTogLed>(100, 10, 14, 14, "M");
    for (XToggle* t : {toggle, static_cast<XToggle*>(check), static_cast<XToggle*>(led)}) {
        t->AddListener(&heard);
    }
    EXPECT_FALSE(root.MouseDownAt(15, 15, 0, false, false));
    EXPECT_FALSE(root.MouseDownAt(15, 45, 0, false, false));
    EXPECT_FALSE(root.MouseDownAt(105, 15, 0, false, false));
    EXPECT_FALSE(root.MouseDownAt(105, 15, 0, false, false));
    EXPECT_EQ(heard.log, (Log {"toggle 1", "toggle 1", "toggle 1", "toggle 0"}));
    EXPECT_EQ(root.Focus(), nullptr);

    toggle->SetState(7);  // any non-zero value is on; set from code, nobody hears it
    EXPECT_EQ(toggle->GetState(), 1);
    EXPECT_EQ(heard.log.size(), 4u);
}

TEST(Toggle, OffPictureIsAGreyCopyOfTheOnPictureUnlessNamed)
{
    RegisterPicture("test_toggle_on.png", 0xe04020);
    RegisterPicture("test_toggle_off.png", 0x102030);
    XToggle toggle(0, 0, 30, 30);
    EXPECT_FALSE(toggle.SetPictures("missing_on.png"));
    EXPECT_FALSE(toggle.OffPicture().IsLoaded());
    ASSERT_TRUE(toggle.SetPictures("test_toggle_on.png"));
    EXPECT_EQ(toggle.Width(), 4);
    EXPECT_EQ(toggle.Height(), 2);
    EXPECT_EQ(toggle.OffPicture().PixelAt(0, 0), 0x6a6a6au);  // (224 + 64 + 32) / 3 = 106
    ASSERT_TRUE(toggle.SetPictures("test_toggle_on.png", "test_toggle_off.png"));
    EXPECT_EQ(toggle.OffPicture().PixelAt(0, 0), 0x102030u);
}

TEST(Tabs, PressSelectsEnabledTabsAndSetTabIgnoresInvalidOnes)
{
    XView root(0, 0, 300, 40);
    XTabs* tabs = root.Add<XTabs>(0, 0, 300, 22);
    Heard heard;
    tabs->AddListener(&heard);
    tabs->AddTab("One", 60);
    tabs->AddTab("Two", 60);
    tabs->AddTab("Three", 60);
    tabs->SetTabEnabled(2, false);
    root.MouseDownAt(70, 10, 0, false, false);   // two
    root.MouseDownAt(130, 10, 0, false, false);  // three: disabled
    root.MouseDownAt(250, 10, 0, false, false);  // no tab
    tabs->SetTab(1);                             // unchanged
    tabs->SetTab(-1);
    tabs->SetTab(3);
    tabs->SetTab(0);
    EXPECT_EQ(heard.log, (Log {"tab 1", "tab 0"}));
    EXPECT_EQ(tabs->GetTab(), 0);

    for (int i = tabs->TabCount(); i < XTabs::kMaxTabs; ++i) tabs->AddTab("x", 10);
    EXPECT_EQ(tabs->AddTab("one too many", 10), -1);
}

TEST(Tabs, ThumbDragScrollsTheTabsAndStopsAtTheEnds)
{
    XView root(0, 0, 200, 40);
    XTabs* tabs = root.Add<XTabs>(0, 0, 200, 28);
    for (int i = 0; i < 8; ++i) tabs->AddTab("Tab " + std::to_string(i), 100);
    ASSERT_TRUE(tabs->HasStrip());
    const XRect thumb = tabs->StripThumb();
    EXPECT_EQ(thumb.Width(), 50);  // the bar shows a quarter of the tabs
    ASSERT_TRUE(root.MouseDownAt(thumb.left + 5, thumb.top + 1, 0, false, false));
    root.MouseMoveTo(thumb.left + 15, thumb.top + 1, false, false);
    EXPECT_EQ(tabs->ScrollOffset(), 40);  // 10 pixels x (200 / 50)
    EXPECT_EQ(tabs->TabAt(70, 5), 1);
    root.MouseMoveTo(5000, thumb.top + 1, false, false);
    EXPECT_EQ(tabs->ScrollOffset(), 600);
    root.MouseMoveTo(-5000, thumb.top + 1, false, false);
    EXPECT_EQ(tabs->ScrollOffset(), 0);
    root.MouseUpAt(0, 0);
}

TEST(Select, OnlyTheArrowColumnAsksForAChoice)
{
    XView root(0, 0, 200, 40);
    XSelect* select = root.Add<XSelect>(10, 10, 60, 16, "1|2");
    Heard heard;
    select->AddListener(&heard);
    EXPECT_FALSE(root.MouseDownAt(20, 15, 0, false, false));
    EXPECT_TRUE(heard.log.empty());
    EXPECT_FALSE(root.MouseDownAt(10 + 60 - 16, 15, 0, false, false));
    EXPECT_FALSE(root.MouseDownAt(69, 15, 0, false, false));
    EXPECT_EQ(heard.log, (Log {"select 0", "select 0"}));
}

TEST(Progress, ValueIsClampedAndNotANumberIsEmpty)
{
    XProgress bar(0, 0, 100, 4);
    bar.SetValue(1.5f);
    EXPECT_EQ(bar.GetValue(), 1.0f);
    bar.SetValue(-3.0f);
    EXPECT_EQ(bar.GetValue(), 0.0f);
    bar.SetValue(0.5f);
    bar.SetValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(bar.GetValue(), 0.0f);
}

// Huge and broken texts, odd sizes and presses anywhere draw and answer without trouble.
TEST(ButtonWidgets, BadTextsAndOddSizes)
{
    std::string junk(XControl::kMaxText + 100, 'W');
    for (std::size_t i = 0; i < junk.size(); i += 7) junk[i] = static_cast<char>(0xC3 + i % 40);
    for (int size : {0, 1, 3, -5}) {
        XView root(0, 0, 64, 48);
        XPane* pane = root.Add<XPane>(0, 0, 64, 48);
        std::vector<XControl*> widgets {
            pane->Add<XButton>(2, 2, size, size * 2), pane->Add<XLogo>(2, 2, size, size),
            pane->Add<XToggle>(2, 2, size, size),     pane->Add<XCheckBox>(2, 2, size, size),
            pane->Add<XTogLed>(2, 2, size, size),     pane->Add<XTabs>(2, 2, size, size),
            pane->Add<XSelect>(2, 2, size, size),     pane->Add<XLabel>(2, 2, size, size),
            pane->Add<XProgress>(2, 2, size, size)};
        static_cast<XTabs*>(widgets[5])->AddTab(junk, 1 << 30);
        for (XControl* w : widgets) w->SetText(junk);
        XGraphic g;
        DrawAll(root, g);
        for (int x : {-1, 0, 2, 3, 63}) {
            root.MouseDownAt(x, x, 0, true, false);
            root.MouseMoveTo(x + 1000, -x, false, false);
            root.MouseUpAt(x, x);
        }
        DrawAll(root, g, false);
    }
}

// A label straight on the root paints the root under itself: after a change of text, the pass
// that repaints only the label must give the picture a full redraw gives.
TEST(ButtonWidgets, ATransparentLabelOnTheRootLeavesNoTrace)
{
    XView root(0, 0, 120, 30);
    root.SetColor(0, XColor(30, 30, 34));
    XLabel* label = root.Add<XLabel>(10, 5, 100, 20, "Concert Grand");
    XGraphic g;
    DrawAll(root, g);
    label->SetText("Pad");
    DrawAll(root, g, false);
    XGraphic full;
    DrawAll(root, full);
    EXPECT_TRUE(std::equal(g.Pixels().begin(), g.Pixels().end(), full.Pixels().begin()));
}

// Every widget of the family in its plain look on a dark panel, in several states.
TEST(ButtonWidgetsReference, PlainLooksOnADarkPanel)
{
    XView root(0, 0, 360, 190);
    root.SetColor(0, XColor(24, 26, 31));
    XPane* panel = root.Add<XPane>(6, 6, 348, 178);
    panel->SetColor(0, XColor(38, 42, 50));
    panel->SetColor(3, XColor(70, 76, 90));

    panel->Add<XButton>(10, 10, 70, 24, "Load");
    XButton* pressed = panel->Add<XButton>(88, 10, 70, 24, "Pressed");
    pressed->SetDown(true);
    XButton* lit = panel->Add<XButton>(166, 10, 80, 24, "Highlight");
    lit->SetHighlight(true);
    lit->SetDown(true);

    panel->Add<XToggle>(10, 42, 70, 22, "Stack");
    panel->Add<XToggle>(88, 42, 70, 22, "Browse")->SetState(1);

    for (int i = 0; i < 2; ++i) {
        XCheckBox* box = panel->Add<XCheckBox>(170 + i * 86, 44, 82, 20, i ? "Streams" : "Log");
        Paint(box, XColor(38, 42, 50), XColor(124, 168, 255), XColor(210, 214, 222));
        box->SetState(i);
    }

    const XColor ledOn[2] = {XColor(250, 80, 50), XColor(250, 220, 60)};
    for (int i = 0; i < 4; ++i) {
        XTogLed* led = panel->Add<XTogLed>(10 + i * 20, 74, 16, 16, i % 2 ? "S" : "M");
        Paint(led, XColor(58, 58, 64), ledOn[i % 2], XColor(0, 0, 0));
        led->SetState(i < 2);
    }

    XTabs* tabs = panel->Add<XTabs>(100, 72, 238, 22);
    tabs->AddTab("Program", 80);
    tabs->AddTab("Stack", 70);
    tabs->AddTab("Off", 60);
    tabs->SetTabEnabled(2, false);
    tabs->SetTab(1);
    XTabs* scrolled = panel->Add<XTabs>(10, 102, 328, 28);
    for (int i = 0; i < 7; ++i) scrolled->AddTab("Bank " + std::to_string(i + 1), 70);
    scrolled->SetScrollOffset(60);

    panel->Add<XSelect>(10, 140, 60, 16, "1|2");
    XSelect* name = panel->Add<XSelect>(76, 140, 146, 16, "Loading File...");
    name->SetColor(2, XColor(250, 250, 200));
    panel->Add<XLabel>(228, 138, 110, 20, "Volume 100");

    XProgress* meter = panel->Add<XProgress>(10, 162, 160, 10);
    Paint(meter, XColor(20, 20, 24), XColor(60, 60, 120), XColor());
    meter->SetValue(0.62f);
    XProgress* load = panel->Add<XProgress>(178, 160, 160, 14, "40 %");
    Paint(load, XColor(20, 20, 24), XColor(200, 30, 30), XColor(240, 240, 240));
    load->SetValue(0.4f);

    XGraphic g;
    DrawAll(root, g);
    testsupport::ExpectMatchesReference(g, "buttons_widgets");
}

}  // namespace
