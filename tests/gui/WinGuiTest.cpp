#include "gui/XWinGui.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "gui/WPopup.h"
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
    int Send(XInput::Kind kind, int x = 0, int y = 0, int wheel = 0)
    {
        XInput input;
        input.kind = kind;
        input.x = x;
        input.y = y;
        input.wheelY = wheel;
        return gui.WindowProc(input);
    }
};

struct SecondPress {
    int gapMs;
    int dx;
    int dy;
    bool isDouble;
};

class DoubleClicks : public WinGuiRig, public ::testing::WithParamInterface<SecondPress> {};

// Within 400 ms and a few pixels of the first press, a second press is a double click; later,
// or further away (a quick press on another control), it is a press of its own.
TEST_P(DoubleClicks, NeedASecondPressSoonAndCloseToTheFirst)
{
    const SecondPress p = GetParam();
    button->takesPress = true;
    button->takesDouble = true;
    Send(XInput::kLeftDown, 30, 30);
    Send(XInput::kLeftUp, 30, 30);
    clock.Advance(static_cast<std::uint32_t>(p.gapMs));
    Send(XInput::kLeftDown, 30 + p.dx, 30 + p.dy);
    EXPECT_EQ(log.back(), p.isDouble ? "button DoubleClick " + std::to_string(30 + p.dx) + "," +
                                           std::to_string(30 + p.dy)
                                     : "button MouseDown " + std::to_string(10 + p.dx) + "," +
                                           std::to_string(10 + p.dy));
    EXPECT_EQ(log.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    GapsAndDistances, DoubleClicks,
    ::testing::Values(SecondPress {0, 0, 0, true}, SecondPress {399, 0, 0, true},
                      SecondPress {400, 0, 0, false}, SecondPress {1000, 0, 0, false},
                      SecondPress {100, 4, -4, true}, SecondPress {100, 5, 0, false},
                      SecondPress {100, 0, -5, false}));

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
    Send(XInput::kRightDown, 30, 30);  // right presses take no focus
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
    std::string delivered;  // "character,code", or empty when dropped
};

class KeyTranslation : public WinGuiRig, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTranslation, ControlKeysBecomeCopyAndPasteOrAreDropped)
{
    button->takesPress = true;
    button->takesKeys = true;
    Send(XInput::kLeftDown, 30, 30);
    log.clear();
    const KeyCase& c = GetParam();
    XInput key;
    key.kind = XInput::kKey;
    key.character = c.character;
    key.modifiers = c.modifiers;
    key.code = c.code;
    gui.WindowProc(key);
    EXPECT_EQ(log, c.delivered.empty() ? Log {} : Log {"button Key " + c.delivered});
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTranslation,
    ::testing::Values(KeyCase {'c', kModControl, 0, "0,10"}, KeyCase {'V', kModControl, 0, "0,11"},
                      KeyCase {3, kModControl, 0, "0,10"}, KeyCase {'a', kModControl, 0, ""},
                      KeyCase {'a', 0, 0, "97,0"}, KeyCase {'c', kModShift, 0, "99,0"},
                      KeyCase {0, kModControl, kKeyLeft, "0,3"}, KeyCase {0, 0, kKeyEnter, "0,8"}));

TEST_F(WinGuiRig, TheTimerTicksIdlesAndRedrawsOnlyWhatIsDirty)
{
    Send(XInput::kPaint);
    EXPECT_EQ(port.timerPeriod, 50);  // the first paint starts the timer
    EXPECT_EQ(port.target.puts, 1);
    EXPECT_EQ(port.target.pixels.size(), 200u * 100u);
    EXPECT_EQ(Send(XInput::kTimer), 1);
    EXPECT_EQ(port.target.puts, 1);  // nothing dirty: nothing presented
    button->SetColor(0, XColor(255, 0, 0));
    button->Invalidate();
    Send(XInput::kTimer);
    EXPECT_EQ(port.target.puts, 2);
    EXPECT_EQ(port.target.pixels[25 * 200 + 25], 0xFF0000u);
    EXPECT_EQ(gui.TickCount(), 2u);
    root.Close(3);
    Send(XInput::kTimer);
    EXPECT_EQ(gui.closes, 1);
}

TEST_F(WinGuiRig, HostIdleCallsTickOncePerPeriod)
{
    EXPECT_FALSE(gui.PollTimer());  // no timer yet
    gui.StartTimer();
    const std::uint32_t steps[] = {10, 39, 1, 49, 500, 0};  // a late call ticks once
    int ticks = 0;
    for (std::uint32_t ms : steps) {
        clock.Advance(ms);
        ticks += gui.PollTimer() ? 1 : 0;
    }
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(gui.TickCount(), 2u);
}

TEST_F(WinGuiRig, WheelNotchesAndWindowMovesReachTheRoot)
{
    auto* scroller = root.Add<XViewPort>(100, 0, 100, 100);
    scroller->Attach(std::make_unique<XControl>(0, 0, 80, 1000), false, true);
    scroller->SetScrollY(100);
    Send(XInput::kWheel, 150, 50, 1);
    EXPECT_EQ(scroller->GetScrollY(), 80);
    Send(XInput::kWheel, 150, 50, -2);
    EXPECT_EQ(scroller->GetScrollY(), 120);
    Send(XInput::kWindowMoved, 12, 34);
    EXPECT_EQ(root.X(), 12);
    EXPECT_EQ(button->GetWindow(), 0x1234u);
    EXPECT_EQ(button->WindowPort(), &port);
}

// Random input records, extreme points, removals and popups coming and going: nothing may
// crash or touch a destroyed control (the sanitizer builds run this too).
TEST_F(WinGuiRig, RandomInputNeverReachesAGoneControl)
{
    std::mt19937 random(1234);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const int points[] = {-100000, -1, 0, 5, 30, 60, 99, 150, 199, 200, 1 << 30};
    auto* scroller = root.Add<XViewPort>(100, 0, 100, 100);
    scroller->Attach(std::make_unique<XControl>(0, 0, 300, 300), true, true);
    for (int step = 0; step < 5000; ++step) {
        XInput input;
        input.kind = static_cast<XInput::Kind>(pick(XInput::kMouseLeave + 1));
        input.x = pick(3) ? pick(200) : points[pick(11)];
        input.y = pick(3) ? pick(100) : points[pick(11)];
        input.shift = pick(2);
        input.control = pick(2);
        input.wheelY = pick(5) - 2;
        input.character = pick(130);
        input.modifiers = pick(8);
        input.code = pick(14) - 1;
        clock.Advance(static_cast<std::uint32_t>(pick(500)));
        gui.WindowProc(input);
        XView* top = root.Innermost();
        switch (pick(40)) {
            case 0:
                if (top->ChildCount() > 0) top->Child(pick(top->ChildCount()))->Remove();
                break;
            case 1: {
                auto* p = top->Add<Probe>(nullptr, "p", pick(150), pick(80), pick(60), pick(40));
                p->takesPress = pick(2);
                p->takesKeys = pick(2);
                break;
            }
            case 2:
                top->ShowPopup(std::make_unique<WPopup>(pick(120), pick(80)), pick(3));
                break;
            case 3:
                if (top != &root) top->Close(pick(3));
                break;
            default:
                break;
        }
    }
    Send(XInput::kPaint);
    EXPECT_EQ(port.target.pixels.size(), 200u * 100u);
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
}

}  // namespace
