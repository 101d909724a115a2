#include "gui/XWinGui.h"

#include <gtest/gtest.h>

#include <string>

#include "gui/XView.h"
#include "gui/XViewPort.h"
#include "tests/gui/ControlsRig.h"

namespace {

using controlsrig::FakePort;
using controlsrig::Log;
using controlsrig::Probe;

class ClosingGui : public XWinGui {
public:
    using XWinGui::XWinGui;
    void RootClose() override { ++closes; }
    int closes = 0;
};

struct WinGuiRig : ::testing::Test {
    Log log;
    FakePort port;
    XManualClock clock;
    XView root {0, 0, 200, 100};
    Probe* button = root.Add<Probe>(&log, "button", 20, 20, 50, 30);
    ClosingGui gui {&port, &clock};

    WinGuiRig()
    {
        gui.SetParentWindow(0x1234);
        gui.SetRootView(&root);
    }
    int Send(XInput::Kind kind, int x = 0, int y = 0)
    {
        XInput input;
        input.kind = kind;
        input.x = x;
        input.y = y;
        return gui.WindowProc(input);
    }
    void Key(std::int32_t character, std::int32_t modifiers, std::int32_t code)
    {
        XInput input;
        input.kind = XInput::kKey;
        input.character = character;
        input.modifiers = modifiers;
        input.code = code;
        gui.WindowProc(input);
    }
};

class DoubleClickTiming : public WinGuiRig, public ::testing::WithParamInterface<int> {};

TEST_P(DoubleClickTiming, TwoPressesWithinFourHundredMillisecondsAreADoubleClick)
{
    const int gap = GetParam();
    button->takesPress = true;
    button->takesDouble = true;
    Send(XInput::kLeftDown, 30, 30);
    Send(XInput::kLeftUp, 30, 30);
    clock.Advance(static_cast<std::uint32_t>(gap));
    Send(XInput::kLeftDown, 30, 30);
    const Log quick {"button MouseDown 10,10", "button MouseUp", "button DoubleClick 30,30"};
    const Log slow {"button MouseDown 10,10", "button MouseUp", "button MouseDown 10,10"};
    EXPECT_EQ(log, gap < 400 ? quick : slow);
}

INSTANTIATE_TEST_SUITE_P(Gaps, DoubleClickTiming, ::testing::Values(0, 399, 400, 1000));

TEST_F(WinGuiRig, ADoubleClickNobodyTakesIsAnOrdinaryPress)
{
    button->takesPress = true;
    Send(XInput::kLeftDown, 30, 30);
    clock.Advance(100);
    Send(XInput::kLeftDown, 30, 30);
    EXPECT_EQ(log, (Log {"button MouseDown 10,10", "button DoubleClick 30,30",
                         "button MouseDown 10,10"}));
}

TEST_F(WinGuiRig, PressesCaptureTheMouseUntilTheRelease)
{
    Send(XInput::kLeftDown, 5, 5);  // nothing there: no capture, but the keyboard focus
    EXPECT_FALSE(port.captured);
    EXPECT_EQ(port.focusRequests, 1);
    EXPECT_EQ(root.X(), 300);  // the window's place on the screen
    button->takesPress = true;
    clock.Advance(1000);
    Send(XInput::kRightDown, 30, 30);
    EXPECT_TRUE(port.captured);
    EXPECT_EQ(button->lastMouse.button, 1);
    EXPECT_EQ(port.focusRequests, 1);
    Send(XInput::kRightUp, 30, 30);
    EXPECT_FALSE(port.captured);
}

struct KeyCase {
    std::int32_t character;
    std::int32_t modifiers;
    std::int32_t code;
    const char* delivered;  // "character/code", or "" when dropped
};

class KeyTranslation : public WinGuiRig, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTranslation, ControlKeysBecomeCopyAndPasteOrAreDropped)
{
    button->takesPress = true;
    button->takesKeys = true;
    Send(XInput::kLeftDown, 30, 30);
    log.clear();
    const KeyCase& c = GetParam();
    Key(c.character, c.modifiers, c.code);
    if (*c.delivered) {
        EXPECT_EQ(log, (Log {std::string("button Key ") + c.delivered}));
    } else {
        EXPECT_TRUE(log.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTranslation,
    ::testing::Values(KeyCase {'c', kModControl, 0, "0/10"}, KeyCase {'V', kModControl, 0, "0/11"},
                      KeyCase {3, kModControl, 0, "0/10"}, KeyCase {'a', kModControl, 0, ""},
                      KeyCase {'a', 0, 0, "97/0"}, KeyCase {'c', kModShift, 0, "99/0"},
                      KeyCase {0, kModControl, kKeyLeft, "0/3"}, KeyCase {0, 0, kKeyEnter, "0/8"}));

TEST_F(WinGuiRig, TheTimerTicksIdlesAndRedrawsOnlyWhatIsDirty)
{
    EXPECT_FALSE(gui.TimerRunning());
    Send(XInput::kPaint);
    EXPECT_TRUE(gui.TimerRunning());
    EXPECT_EQ(port.timerPeriod, 50);
    EXPECT_EQ(port.target.puts, 1);
    EXPECT_EQ(port.target.width, 200);
    EXPECT_EQ(port.target.height, 100);
    EXPECT_EQ(port.target.pixels[0], 0x8C8C96u);  // the root's colour 0

    EXPECT_EQ(Send(XInput::kTimer), 1);
    EXPECT_EQ(gui.TickCount(), 1u);
    EXPECT_EQ(port.target.puts, 1);  // nothing dirty: nothing presented
    button->SetColor(0, XColor(255, 0, 0));
    button->Invalidate();
    Send(XInput::kTimer);
    EXPECT_EQ(port.target.puts, 2);
    EXPECT_EQ(port.target.pixels[25 * 200 + 25], 0xFF0000u);

    root.Close(3);
    Send(XInput::kTimer);
    EXPECT_EQ(gui.closes, 1);
    gui.StopTimer();
    EXPECT_EQ(port.timerPeriod, 0);
}

TEST_F(WinGuiRig, WheelNotchesAndWindowMovesReachTheRoot)
{
    auto* port2 = root.Add<XViewPort>(100, 0, 100, 100);
    port2->Attach(std::make_unique<XControl>(0, 0, 80, 1000), false, true);
    port2->SetScrollY(100);
    XInput wheel;
    wheel.kind = XInput::kWheel;
    wheel.x = 150;
    wheel.y = 50;
    wheel.wheelY = 1;
    gui.WindowProc(wheel);
    EXPECT_EQ(port2->GetScrollY(), 80);
    wheel.wheelY = -1;
    gui.WindowProc(wheel);
    EXPECT_EQ(port2->GetScrollY(), 100);

    Send(XInput::kWindowMoved, 12, 34);
    EXPECT_EQ(gui.WindowX(), 12);
    EXPECT_EQ(root.X(), 12);
    EXPECT_EQ(root.GetWindow(), 0x1234u);
    EXPECT_EQ(button->WindowPort(), &port);
}

TEST(WinGui, WithoutARootOrPortNothingHappens)
{
    XWinGui gui;
    XInput input;
    for (int kind = XInput::kPaint; kind <= XInput::kMouseLeave; ++kind) {
        input.kind = static_cast<XInput::Kind>(kind);
        gui.WindowProc(input);
    }
    EXPECT_FALSE(gui.KeyEvent('x', 0, 0));
    gui.Redraw();
}

}  // namespace
