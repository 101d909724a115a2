// The input script format of `marlet-host editor --actions`.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tools/marlet-host/ActionPlayer.h"
#include "tools/marlet-host/ActionScript.h"
#include "tools/marlet-host/EditorWindow.h"

namespace {

using Step = ActionScript::Step;
using Kind = ActionScript::Step::Kind;
using testing::HasSubstr;

Step Move(int x, int y)
{
    return {Kind::Move, x, y};
}
Step Button(std::uint32_t b, bool press)
{
    return {Kind::Button, 0, 0, b, press};
}
Step Key(std::uint32_t k, bool press)
{
    return {Kind::Key, 0, 0, k, press};
}
Step Wait(int ms)
{
    return {Kind::Wait, 0, 0, 0, false, ms};
}

Step Until(int x, int y, std::uint32_t rgb, bool leaves, int ms)
{
    return {Kind::Until, x, y, rgb, leaves, ms};
}

constexpr std::uint32_t kCtrl = 0xffe3, kShift = 0xffe1;

struct Case {
    const char* line;
    std::vector<Step> steps;
};

class ActionLine : public testing::TestWithParam<Case> {};

TEST_P(ActionLine, CompilesToItsSteps)
{
    EXPECT_EQ(ActionScript::Parse(GetParam().line).Steps(), GetParam().steps) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionLine,
    testing::Values(
        Case {"click 10 20", {Move(10, 20), Button(1, true), Button(1, false)}},
        Case {"  click\t10 20 right  ", {Move(10, 20), Button(3, true), Button(3, false)}},
        Case {"press 1 2 middle", {Move(1, 2), Button(2, true)}},
        Case {"release 1 2", {Move(1, 2), Button(1, false)}},
        Case {"double 5 6",
              {Move(5, 6), Button(1, true), Button(1, false), Wait(50), Button(1, true),
               Button(1, false)}},
        Case {"wheel 3 4 2",
              {Move(3, 4), Button(4, true), Button(4, false), Button(4, true), Button(4, false)}},
        Case {"wheel 3 4 -1", {Move(3, 4), Button(5, true), Button(5, false)}},
        Case {"key ctrl+shift+z",
              {Key(kCtrl, true), Key(kShift, true), Key('z', true), Key('z', false),
               Key(kShift, false), Key(kCtrl, false)}},
        // "+" alone and at the end of a chord is the plus key.
        Case {"key + ctrl++",
              {Key('+', true), Key('+', false), Key(kCtrl, true), Key('+', true), Key('+', false),
               Key(kCtrl, false)}},
        Case {"key Return F12 space",
              {Key(0xff0d, true), Key(0xff0d, false), Key(0xffc9, true), Key(0xffc9, false),
               Key(' ', true), Key(' ', false)}},
        Case {"type a B",
              {Key('a', true), Key('a', false), Key(' ', true), Key(' ', false), Key('B', true),
               Key('B', false)}},
        Case {"until 5 6 FF8800", {Until(5, 6, 0xff8800, false, 30000)}},
        Case {"until 5 6 !00ff00 2500", {Until(5, 6, 0x00ff00, true, 2500)}},
        Case {"until-file /tmp/a.mrp 900",
              {Step {Kind::UntilFile, 0, 0, 0, false, 900, "/tmp/a.mrp"}}},
        Case {"# a comment", {}}, Case {"", {}}, Case {"wait 0", {Wait(0)}}));

TEST(ActionScript, MistakesNameTheLineAndTheFault)
{
    const std::vector<std::pair<const char*, const char*>> bad {
        {"click 1 2\nfly 1 2", "line 2: unknown action \"fly\""},
        {"click 1", "click takes 2 to 3 arguments"},
        {"click x 2", "a coordinate"},
        {"click 1 99999", "a coordinate"},
        {"click 1 2 thumb", "left, middle or right"},
        {"wait -5", "a wait"},
        {"wheel 1 1 1000", "wheel steps"},
        {"key hyper+a", "unknown modifier"},
        {"key Enterprise", "unknown key"},
        {"type", "needs the text"},
        {"type caf\xc3\xa9", "printable ASCII"},
        {"\n\r\nwait 1\r\nwait", "line 4: wait takes 1 arguments"},
        {"until 1 2 red", "six hex digits"},
        {"until 1 2 ff88", "six hex digits"},
        {"until 1 2 -fff88", "six hex digits"},
        {"until 1 2 !", "six hex digits"},
        {"until 1 2 ff8800 0", "a wait"},
        {"until-file", "until-file takes 1 to 2 arguments"},
    };
    for (const auto& [text, message] : bad) {
        try {
            ActionScript::Parse(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ActionScript::Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(message)) << text;
        }
    }
}

// A window of one pixel whose colour the test sets, and a sink that counts what reaches it.
struct OnePixelWindow : EditorWindow {
    std::uint32_t rgb = 0;
    std::uintptr_t Handle() const override { return 0; }
    void Resize(int, int) override {}
    void Show() override {}
    bool Pump() override { return true; }
    Picture Snapshot() const override
    {
        return {1, 1, {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)}};
    }
};
struct CountingSink : InputSink {
    int* buttons;
    explicit CountingSink(int* count) : buttons(count) {}
    void Move(const EditorWindow&, int, int) override {}
    void Button(std::uint32_t, bool) override { ++*buttons; }
    void Key(std::uint32_t, bool) override {}
};

TEST(ActionPlayer, APixelWaitHoldsTheScriptUntilTheWindowShowsItOrItsTimeRunsOut)
{
    int buttons = 0;
    OnePixelWindow window;
    ActionPlayer player(ActionScript::Parse("until 0 0 00ff00 600000\nclick 0 0\n"
                                            "until 0 0 !00ff00 1\nclick 0 0\n"),
                        std::make_unique<CountingSink>(&buttons));
    for (int call = 0; call < 3; ++call) player.Advance(window);
    EXPECT_EQ(buttons, 0) << "the first wait let the click through before the pixel turned";

    window.rgb = 0x00ff00;
    player.Advance(window);
    EXPECT_EQ(buttons, 2);
    EXPECT_FALSE(player.Done());
    // The second wait's millisecond runs out: the script stops with what the pixel showed.
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    try {
        player.Advance(window);
        ADD_FAILURE() << "the wait did not run out";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr("pixel at 0,0 to leave 00ff00; it shows 00ff00"));
    }
    EXPECT_EQ(buttons, 2);
}

}  // namespace
