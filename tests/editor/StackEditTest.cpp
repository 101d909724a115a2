// The stack editor against a live tone: its layout, the select modes it sets, the key-switch
// keys it places, the layer keys its map drags, the stack name, and edits while the tone plays.
#include <gtest/gtest.h>

#include <thread>

#include "editor/GigaViewText.h"
#include "editor/XGigaName.h"
#include "editor/XStackPanel.h"
#include "editor/XValTop.h"
#include "gui/XButton.h"
#include "gui/XEditBox.h"
#include "gui/XLabel.h"
#include "gui/XSelect.h"
#include "player/KyBufferList.h"
#include "tests/editor/StackEditRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace stackrig {
namespace {

using demo::kDrone;
using demo::kKeys;
using demo::kPad;

// The editor's tests share the "editor" prefix in their suite names.
using editorStack = StackEditTest;

class editorStackLayout : public StackEditTest, public ::testing::WithParamInterface<int> {};

TEST_P(editorStackLayout, GrowsEighteenPixelsPerLayer)
{
    const int layers = GetParam();
    Open(std::vector<int>(static_cast<std::size_t>(layers), kPad));
    EXPECT_EQ(stack->Width(), 782);
    EXPECT_EQ(stack->Height(), 18 * layers + 252);
    EXPECT_EQ(stack->Map().RowCount(), layers);
    EXPECT_EQ(stack->Map().Height(), 18 * layers);
    int x = 0, y = 0;
    ASSERT_TRUE(stack->DoneButton().OffsetIn(stack, x, y));
    EXPECT_EQ(x, 782 - 90);
    EXPECT_EQ(y, stack->Height() - 30);
    ASSERT_TRUE(stack->ProgramText().OffsetIn(stack, x, y));
    EXPECT_EQ(y, stack->Height() - 101 + 24);
    ASSERT_TRUE(stack->Keyboard().OffsetIn(stack, x, y));
    EXPECT_LE(y + stack->Keyboard().Height(), 66 + 18 * layers + 80);
}

INSTANTIATE_TEST_SUITE_P(Layers, editorStackLayout, ::testing::Values(2, 4));

TEST_F(editorStack, SelectByMenuSetsTheModeAndShowsWhatGoesWithIt)
{
    Open({kKeys, kPad});
    for (const WStackEdit::Choice& choice : WStackEdit::kChoices) {
        ChooseSelectBy(std::string(choice.text));
        EXPECT_EQ(Tone(0).SelectMode(), choice.mode) << choice.text;
        EXPECT_EQ(stack->SelectBy().Text(), viewtext::SelectModeName(choice.mode));
        EXPECT_EQ(stack->ControllerBox().IsVisible(), choice.mode == 1) << choice.text;
        EXPECT_EQ(stack->SwitchText().IsVisible(), choice.mode == 133) << choice.text;
        EXPECT_EQ(stack->Keyboard().SwitchHigh() > 0, choice.mode == 133) << choice.text;
    }
    EXPECT_EQ(viewtext::SelectModeName(0), "None (Play All)");
    EXPECT_EQ(viewtext::SelectModeName(134), "Round Robin");
    // The tone's view shows the new mode.
    ChooseSelectBy("Velocity");
    EXPECT_EQ(View(0).Stack().Badge().Text(), "VL");

    // The controller box takes numbers below 128 and shows the mode it left.
    stack->EditNotify(&stack->ControllerBox(), 74);
    EXPECT_EQ(Tone(0).SelectMode(), 74);
    EXPECT_EQ(stack->SelectBy().Text(), "Control Change");
    stack->EditNotify(&stack->ControllerBox(), 300);
    EXPECT_EQ(Tone(0).SelectMode(), 74);
    EXPECT_EQ(stack->ControllerBox().Text(), "74");
}

struct SwitchCase {
    int playedLow, playedHigh;
    int low, high;
    const char* text;
};

class editorStackSwitch : public StackEditTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(editorStackSwitch, UnsetRangeGoesBesideThePlayedKeys)
{
    const SwitchCase c = GetParam();
    const std::array<int, 3> keys {c.playedLow, c.playedHigh, 0};
    Open({kKeys, kPad, kDrone}, {keys, keys, keys}, GigaTone::kSelectKeySwitch);
    EXPECT_EQ(Tone(0).KeySwitchLow(), c.low);
    EXPECT_EQ(Tone(0).KeySwitchHigh(), c.high);
    EXPECT_EQ(stack->SwitchText().Text(), c.text);
    EXPECT_EQ(stack->Keyboard().SwitchLow(), c.low);
    EXPECT_EQ(stack->Keyboard().SwitchHigh(), c.high);
}

INSTANTIATE_TEST_SUITE_P(Played, editorStackSwitch,
                         ::testing::Values(SwitchCase {36, 96, 33, 35, "A0 : B0"},
                                           SwitchCase {0, 96, 97, 99, "C#6 : D#6"},
                                           // No room on either side: the top keys.
                                           SwitchCase {1, 126, 125, 127, "F8 : G8"}));

TEST_F(editorStack, SwitchArrowsJumpOverThePlayedKeys)
{
    const std::array<int, 3> keys {36, 96, 0};
    Open({kKeys, kPad, kDrone}, {keys, keys, keys}, GigaTone::kSelectKeySwitch);
    stack->ButtonClicked(&stack->SwitchUp(), 0);  // 34..36 would touch key 36
    EXPECT_EQ(Tone(0).KeySwitchLow(), 97);
    EXPECT_EQ(Tone(0).KeySwitchHigh(), 99);
    stack->ButtonClicked(&stack->SwitchUp(), 0);
    EXPECT_EQ(Tone(0).KeySwitchLow(), 98);
    stack->ButtonClicked(&stack->SwitchDown(), 0);
    stack->ButtonClicked(&stack->SwitchDown(), 0);  // 96..98 would touch key 96
    EXPECT_EQ(Tone(0).KeySwitchLow(), 33);
    EXPECT_EQ(Tone(0).KeySwitchHigh(), 35);
    for (int i = 0; i < 40; ++i) stack->ButtonClicked(&stack->SwitchDown(), 0);
    EXPECT_EQ(Tone(0).KeySwitchLow(), 0);
    EXPECT_EQ(Tone(0).KeySwitchHigh(), 2);
    // Another mode drops the range and the overlay.
    ChooseSelectBy("Random");
    EXPECT_EQ(Tone(0).KeySwitchHigh(), 0);
    EXPECT_EQ(stack->Keyboard().SwitchHigh(), 0);
}

struct DragCase {
    int x;  // on the bar of keys 36..60 (pixels 210..359)
    int dx;
    bool fine;
    int keyLow, keyHigh, keyOffset;
};

class editorStackDrag : public StackEditTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(editorStackDrag, ChangesTheLayersKeys)
{
    const DragCase c = GetParam();
    Open({kKeys, kPad}, {{36, 60, 0}, {0, 127, 0}});
    Drag(c.x, 9, c.dx, c.fine);
    EXPECT_EQ(stack->Map().Selected(), 0);
    const GigaLayerFacts layer = Layer(0);
    EXPECT_EQ(layer.keyLow, c.keyLow);
    EXPECT_EQ(layer.keyHigh, c.keyHigh);
    EXPECT_EQ(layer.keyOffset, c.keyOffset);
    EXPECT_EQ(stack->Map().RowAt(0).barLeft, XStack_Keyb::KeyLeft(c.keyLow + c.keyOffset));
    EXPECT_EQ(Layer(1).keyOffset, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, editorStackDrag,
    ::testing::Values(DragCase {280, 140, false, 36, 60, 24},    // two octaves
                      DragCase {280, 7, true, 36, 60, 1},        // one key
                      DragCase {280, 69, false, 36, 60, 0},      // less than an octave
                      DragCase {280, -300, false, 36, 60, -36},  // down to key 0
                      DragCase {280, 1000, false, 36, 60, 60},   // whole octaves below 127
                      DragCase {212, 300, false, 59, 60, 0},     // one key below the top
                      DragCase {212, -300, false, 0, 60, 0},
                      DragCase {357, -300, false, 36, 37, 0},  // one key above the bottom
                      DragCase {357, 600, false, 36, 127, 0}));

TEST_F(editorStack, MapSelectionShowsTheLayerAndDoubleClickResetsIt)
{
    Open({kKeys, kPad}, {{36, 60, 0}, {0, 127, 0}});
    EXPECT_FALSE(stack->ProgramText().IsVisible());
    Drag(280, 9, 140, false);
    EXPECT_EQ(stack->ProgramText().Text(), "Demo Keys");
    EXPECT_EQ(stack->TransposeText().Text(), "Pitch Transpose: +24");
    EXPECT_EQ(stack->RangeText().Text(), "Key range: C3 - C5");

    // A double-click puts the layer back on the program's keys.
    XStack_List& map = stack->Map();
    EXPECT_TRUE(map.DoubleClick(map.X() + 420, map.Y() + 9));
    const GigaLayerFacts layer = Layer(0);
    EXPECT_EQ(layer.keyOffset, 0);
    EXPECT_EQ(layer.keyLow, layer.programKeyLow);
    EXPECT_EQ(layer.keyHigh, layer.programKeyHigh);
    EXPECT_EQ(stack->TransposeText().Text(), "Pitch Transpose: +0");

    // Beside the bars: no row, no facts.
    Drag(5, 9 + 18 * 5, 0, false);
    EXPECT_EQ(map.Selected(), -1);
    EXPECT_FALSE(stack->RangeText().IsVisible());
}

TEST_F(editorStack, TypedNameBecomesTheStackName)
{
    Open({kKeys, kPad});
    XEditBox& box = stack->NameBox();
    const int x = box.AbsoluteX() + 20, y = box.AbsoluteY() + 5;
    root.MouseDownAt(x, y, 0, false, false);
    root.MouseUpAt(x, y);
    for (char c : std::string("Split Keys")) {
        XKey key;
        key.character = c;
        root.KeyPress(&key);
    }
    XKey enter;
    enter.code = kKeyEnter;
    root.KeyPress(&enter);
    EXPECT_EQ(Tone(0).StackName(), "Split Keys");
    EXPECT_EQ(View(0).Name().Text(), "Split Keys");
    EXPECT_FALSE(stack->CloseRequested());  // the box took the enter key
}

TEST_F(editorStack, EditsWhileTheTonePlaysAndLoads)
{
    Open({kKeys, kPad, kDrone}, {}, GigaTone::kSelectKeySwitch);
    player.KyStart();
    std::atomic<bool> done {false};
    std::thread audio([&] {
        KyBufferList buses;
        buses.SetBusCount(16);
        buses.AllocateOwned(256);
        while (!done) {
            buses.ClearReadyFlags();
            player.Process(&buses, 256);
        }
    });
    for (int i = 0; i < 60; ++i) {
        player.NoteOn(0, 40 + i % 40, 100, 0);
        Drag(stack->Map().RowAt(i % 3).barLeft + 30, 9 + 18 * (i % 3), (i % 5 - 2) * 70, false);
        stack->ButtonClicked(&stack->SwitchUp(), 0);
        if (i == 30) {
            Tone(0).AddLayer(bank, kPad);  // the loader moves the stack meanwhile
            player.RequestLoading();
        }
    }
    player.WaitWhileLoading();
    done = true;
    audio.join();
    player.KyStop();
    stack->Map().Reload();
    EXPECT_EQ(stack->Map().RowCount(), 4);
}

TEST_F(editorStack, FourLayerPicture)
{
    Open({kKeys, kPad, kDrone, kPad}, {{0, 54, 0}, {36, 84, 12}, {21, 60, -12}, {48, 108, 0}},
         GigaTone::kSelectKeySwitch);
    Tone(0).SetStackName("Piano Layers");
    stack->NameBox().SetText("Piano Layers");
    Drag(stack->Map().RowAt(1).barLeft + 40, 18 + 9, 0, false);
    controlsrig::DrawAll(*stack, surface);
    testsupport::ExpectMatchesReference(surface, "stack_editor");
}

}  // namespace
}  // namespace stackrig
