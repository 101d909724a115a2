// The main editor against a real player and the demo bank, driven as the window would drive it:
// toolbar clicks, ticks, the player's events. The desktop's file dialog is a stand-in program
// on PATH that answers what the test put in its answer file (no answer: cancelled).
#include "editor/EditorCodes.h"
#include "editor/GigaEditor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/GigaView.h"
#include "editor/WConfirm.h"
#include "editor/WMessage.h"
#include "editor/WMissing.h"
#include "editor/WSettings.h"
#include "editor/WStackEdit.h"
#include "editor/XViewNav.h"
#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "gui/XButton.h"
#include "gui/XGraphic.h"
#include "gui/XKeyboard.h"
#include "gui/XViewPort.h"
#include "persist/GigaPerformance.h"
#include "player/KyBufferList.h"
#include "prefs/GigaPrefs.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"
#include "tests/support/WaitFor.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

namespace fs = std::filesystem;

class EditorRig : public ::testing::Test {
protected:
    EditorRig()
    {
        testsupport::GigWriter(demo::DemoBank()).Write(bank);
        std::ofstream(bin.File("zenity")) << "#!/bin/sh\n[ -f " << bin.File("answer")
                                          << " ] || exit 1\ncat " << bin.File("answer") << "\n";
        chmod(bin.File("zenity").c_str(), 0755);
        player.OnInit();
        player.KyStart();
        editor = std::make_unique<GigaEditor>(player);
        Tick();
    }
    ~EditorRig() override
    {
        editor.reset();
        player.LeavePlayerList();
    }

    void Answer(const std::string& path) { std::ofstream(bin.File("answer")) << path << "\n"; }
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) editor->Idle(++tick);
    }
    // Ticks until the file dialog has answered and the command went on.
    void SettleDialog()
    {
        EXPECT_TRUE(testsupport::WaitFor(
            [&] {
                Tick();
                return editor->FileNav().GetState() != UFileNav::State::kOpen;
            },
            "the file dialog to answer"));
        Tick();
    }
    // Ticks until the performance that Open reads on a thread of its own has been taken up.
    void SettleOpen(const std::string& path)
    {
        EXPECT_TRUE(testsupport::WaitFor(
            [&] {
                Tick();
                return editor->Path() == path;
            },
            "the performance Open read to be taken up"))
            << path;
    }
    void Click(GigaEditor::Tool tool)
    {
        XButton* b = editor->ToolButton(tool);
        const int x = b->AbsoluteX() + 10;
        const int y = b->AbsoluteY() + 10;
        editor->MouseDownAt(x, y, 1, false, false);
        editor->MouseUpAt(x, y);
    }
    void Load(int tone, int program)
    {
        player.Giga(tone)->AddLayer(bank, program);
        player.RequestLoading();
        player.WaitWhileLoading();
        Tick(2);
    }
    GigaTone& Tone(int i) { return *player.Giga(i); }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    testsupport::TempFolder bin;
    testsupport::ScopedEnv path {"PATH", bin.Path() + ":/usr/bin:/bin"};
    std::string bank = folder.File("demo.gig");
    GigaPlayer player;
    std::unique_ptr<GigaEditor> editor;
    std::uint32_t tick = 0;
};

TEST_F(EditorRig, TheLayoutHoldsEveryToneAndTheEditorIsThePlayers)
{
    EXPECT_EQ(editor->Width(), 800);
    EXPECT_EQ(editor->Height(), 560);
    EXPECT_EQ(editor->Title(), "Marlet 1.3.0.3");
    EXPECT_EQ(editor->ViewCount(), 16);
    EXPECT_EQ(player.Editor(), editor.get());
    for (int i = 0; i < GigaEditor::kTools; ++i) {
        const XButton* b = editor->ToolButton(static_cast<GigaEditor::Tool>(i));
        EXPECT_EQ(b->X(), 5 + 60 * i);
        EXPECT_EQ(b->Y(), 3);
    }
    EXPECT_EQ(editor->Keyboard()->AbsoluteY(), 560 - 84);
    editor.reset();
    EXPECT_EQ(player.Editor(), nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Tone(i).View(), nullptr);
}

TEST_F(EditorRig, ShiftClickOnTheLogoSwitchesTheDebugLog)
{
    XControl* logo = editor->ToolButton(GigaEditor::kReset)->Parent()->Child(GigaEditor::kTools);
    const int x = logo->AbsoluteX() + 20;
    const int y = logo->AbsoluteY() + 10;
    for (const bool expected : {true, false}) {
        editor->MouseDownAt(x, y, 1, /*shift=*/true, false);
        editor->MouseUpAt(x, y);
        EXPECT_EQ(player.LogFileOpen(), expected);
        ASSERT_NE(editor->OpenPopup(), nullptr);
        editor->OpenPopup()->Close(1);
        Tick(2);
    }
    EXPECT_TRUE(fs::exists(home.Desktop() + "/marlet.log"));
}

// Browse swaps the keyboard for the browser and shrinks the rack; settings and a stack's
// button open their windows over the editor.
TEST_F(EditorRig, TheBrowserSettingsAndStackEditorOpenFromTheEditor)
{
    Click(GigaEditor::kBrowse);
    EXPECT_TRUE(editor->IsBrowsing());
    EXPECT_EQ(editor->Port()->Height(), GigaEditor::kPortHeightBrowsing);
    EXPECT_TRUE(editor->Browser()->IsVisible());
    EXPECT_FALSE(editor->Keyboard()->Parent()->IsVisible());
    editor->Notify(editor->View(3), FourCC("brow"));  // a tone's name toggles it back
    EXPECT_FALSE(editor->IsBrowsing());
    EXPECT_EQ(editor->Port()->Height(), GigaEditor::kPortHeight);
    EXPECT_FALSE(editor->Browser()->IsVisible());
    EXPECT_TRUE(editor->Keyboard()->Parent()->IsVisible());

    Click(GigaEditor::kSettings);
    ASSERT_NE(editor->OpenPopup(), nullptr);
    EXPECT_EQ(editor->OpenPopup()->PopupId(), editorcode::kSettings);
    EXPECT_FALSE(editor->ToolButton(GigaEditor::kSettings)->IsDown());
    editor->OpenPopup()->Close(0);
    Tick(2);

    Load(5, demo::kKeys);
    editor->Notify(editor->View(5), FourCC("KySe"));
    auto* stack = dynamic_cast<WStackEdit*>(editor->OpenPopup());
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->PopupId(), editorcode::kStackEditor);
    stack->Close(1);
    Tick(2);
    EXPECT_EQ(editor->OpenPopup(), nullptr);
}

TEST_F(EditorRig, TheOnScreenKeyboardPlaysTheSelectedTone)
{
    Load(2, demo::kKeys);
    editor->SelectTone(2);
    // Middle C, low on the key: loud.
    const XKeyboard& keys = *editor->Keyboard();
    const int x = keys.AbsoluteX() + XKeyboard::KeyLeft(60) + 5;
    const int y = keys.AbsoluteY() + keys.Height() - 8;
    ASSERT_TRUE(editor->MouseDownAt(x, y, 1, false, false));
    float left[512] = {}, right[512] = {};
    KyBufferList buses;
    buses.SetBusCount(16);
    buses.SetBus(0, left, right);
    buses.SetReady(0, true);
    player.Process(&buses, 512);
    EXPECT_GT(player.VoicesInUse(), 0);
    EXPECT_EQ(Tone(0).ActiveNotes(), 0);
    editor->MouseUpAt(x, y);
}

// Solo A, solo B, unsolo A: B stays soloed and the rest muted; unsolo B: as before the solos.
TEST_F(EditorRig, MuteAndSoloFollowTheRules)
{
    const auto request = [&](int tone, int wanted) {
        Tone(tone).SetMute(KyTone::kRequestedMute, wanted);
        editor->Notify(editor->View(tone), FourCC("Mute"));
    };
    request(5, 1);  // tone 5 muted before any solo
    request(1, 2);
    request(2, 2);
    EXPECT_EQ(Tone(1).Mute(KyTone::kCurrentMute), 2);
    EXPECT_EQ(Tone(3).Mute(KyTone::kCurrentMute), 1);
    request(1, 4);
    EXPECT_EQ(Tone(1).Mute(KyTone::kCurrentMute), 1);
    EXPECT_EQ(Tone(2).Mute(KyTone::kCurrentMute), 2);
    request(7, 3);  // unmuting while another solos makes it soloed too
    EXPECT_EQ(Tone(7).Mute(KyTone::kCurrentMute), 2);
    request(7, 4);
    request(2, 4);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(Tone(i).Mute(KyTone::kCurrentMute), i == 5 ? 1 : 0) << "tone " << i;
}

TEST_F(EditorRig, SaveAsksOnceAndOpenAsksBeforeLosingChanges)
{
    Load(3, demo::kPad);
    const std::string song = folder.File("song.mrp");
    Answer(folder.File("song"));  // the extension is added
    Click(GigaEditor::kSave);
    SettleDialog();
    ASSERT_EQ(editor->Path(), song);
    ASSERT_TRUE(fs::exists(song));

    // A titled rack saves at once, without a dialog.
    fs::remove(song);
    fs::remove(bin.File("answer"));
    Click(GigaEditor::kSave);
    EXPECT_TRUE(fs::exists(song));
    EXPECT_NE(editor->FileNav().GetState(), UFileNav::State::kOpen);

    // Modified: open asks first; cancel leaves everything.
    Tone(3).SetModified(true);
    Click(GigaEditor::kOpen);
    Tick();
    ASSERT_NE(editor->OpenPopup(), nullptr);
    EXPECT_EQ(editor->OpenPopup()->PopupId(), editorcode::kConfirmOpen);
    editor->OpenPopup()->Close(-1);
    Tick(2);
    EXPECT_EQ(editor->OpenPopup(), nullptr);
    EXPECT_EQ(Tone(3).LayerCount(), 1);
    EXPECT_EQ(editor->Path(), song);

    // "No": the open dialog; the chosen performance replaces the rack.
    GigaPlayer other;
    other.OnInit();
    other.LeavePlayerList();
    other.Giga(9)->AddLayer(bank, demo::kKeys);
    const std::string second = folder.File("second.mrp");
    ASSERT_TRUE(other.Save(second));
    Answer(second);
    Click(GigaEditor::kOpen);
    Tick();
    editor->OpenPopup()->Close(0);
    Tick();
    SettleDialog();
    SettleOpen(second);
    player.WaitWhileLoading();
    EXPECT_EQ(Tone(3).LayerCount(), 0);
    EXPECT_EQ(Tone(9).LayerCount(), 1);

    // Reset empties the rack and forgets the path, without a question.
    Click(GigaEditor::kReset);
    player.WaitWhileLoading();
    EXPECT_EQ(Tone(9).LayerCount(), 0);
    EXPECT_EQ(editor->Path(), "");
}

// However many load results arrive between ticks (a closed editor gets no ticks), one is
// handled, and a failure among them is kept.
TEST_F(EditorRig, LoadResultsCoalesceAndAMissingFileOpensTheDialog)
{
    const std::string gone = folder.File("gone.gig");
    fs::copy_file(bank, gone);
    player.Giga(4)->AddLayer(gone, demo::kKeys);
    player.Giga(6)->AddLayer(gone, demo::kPad);
    const std::string rack = folder.File("rack.mrp");
    ASSERT_TRUE(player.Save(rack));
    player.NewPerformance();
    player.WaitWhileLoading();
    fs::remove(gone);
    ASSERT_TRUE(player.Load(rack));
    player.RequestLoading();
    player.WaitWhileLoading();
    for (int i = 0; i < 500; ++i) ASSERT_TRUE(player.PostToEditor({FourCC("KyTL"), 1, 0}));
    EXPECT_EQ(editor->Queue().Pending(), 1u);
    Tick();
    auto* missing = dynamic_cast<WMissing*>(editor->OpenPopup());
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->PopupId(), editorcode::kMissingFiles);
    // Ignore: the missing layers go.
    missing->Close(0);
    Tick(2);
    player.WaitWhileLoading();
    EXPECT_EQ(Tone(4).LayerCount(), 0);
    EXPECT_EQ(Tone(6).LayerCount(), 0);
}

// The GUI thread works the editor while an audio thread renders and the loader loads whole
// performances: the sanitizer build watches every hand-over, and the GUI never waits for a load.
TEST_F(EditorRig, TheEditorWorksWhileTheEngineLoadsAndPlays)
{
    GigaPlayer other;
    other.OnInit();
    other.LeavePlayerList();
    for (int t = 0; t < 16; ++t) other.Giga(t)->AddLayer(bank, t % 3);
    const std::string full = folder.File("full.mrp");
    ASSERT_TRUE(other.Save(full));

    std::atomic<bool> stop {false};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        KyBufferList buses;
        buses.SetBusCount(16);
        buses.SetBus(0, left.data(), right.data());
        buses.SetReady(0, true);
        while (!stop.load()) {
            player.Process(&buses, 256);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    XKeyboard& keys = *editor->Keyboard();
    const int x = keys.AbsoluteX() + XKeyboard::KeyLeft(48) + 5;
    const int y = keys.AbsoluteY() + keys.Height() - 8;
    for (int round = 0; round < 6; ++round) {
        Answer(full);
        editor->ResetCommand();
        editor->OpenCommand();
        // Whether the loader has already passed the emptied tones (which counts as a change, so
        // that Open asks first) depends on how far it got: "No" goes on to the file dialog.
        if (XView* asked = editor->OpenPopup();
            asked && asked->PopupId() == editorcode::kConfirmOpen) {
            asked->Close(0);
            Tick();
        }
        SettleDialog();
        SettleOpen(full);
        for (int i = 0; i < 20; ++i) {
            editor->SelectTone(i % 16);
            editor->MouseDownAt(x, y, 1, false, false);
            Tick();
            editor->MouseUpAt(x, y);
            Tone(i % 16).SetMute(KyTone::kRequestedMute, i % 2 ? 1 : 3);
            editor->Notify(editor->View(i % 16), FourCC("Mute"));
        }
        editor->SetExpandAll(round % 2 == 0);
    }
    player.WaitWhileLoading();
    Tick(3);
    stop = true;
    audio.join();
    EXPECT_EQ(editor->Path(), full);
    for (int t = 0; t < 16; ++t) EXPECT_EQ(Tone(t).LayerCount(), 1) << "tone " << t;
}

// A path the performance could not keep is refused, with a message, instead of being lost at
// the next reload; one of exactly the longest length is taken.
TEST_F(EditorRig, AnInstrumentPathTooLongForAPerformanceIsRefused)
{
    const std::string longest = "/" + std::string(GigaPerformance::kMaxLayerPath - 1, 'x');
    editor->View(4)->LoadIntoView(longest + "y", 0);
    EXPECT_EQ(Tone(4).LayerCount(), 0);
    auto* message = dynamic_cast<WMessage*>(editor->OpenPopup());
    ASSERT_NE(message, nullptr);
    XGraphic g;
    controlsrig::DrawAll(*message, g);
    testsupport::ExpectMatchesReference(g, "editor_message");
    message->Close(1);
    Tick(2);
    editor->View(4)->LoadIntoView(longest, 0);
    EXPECT_EQ(Tone(4).LayerCount(), 1);
    EXPECT_EQ(editor->OpenPopup(), nullptr);
}

TEST_F(EditorRig, EmptyAndLoadedEditorsLookRight)
{
    // The memory meter shows the share of the budget, which comes from the machine.
    GigaPrefs::Instance().Budget().SetLimit(GigaPrefs::kMaxBudgetMb);
    XGraphic g;
    controlsrig::DrawAll(*editor, g);
    testsupport::ExpectMatchesReference(g, "editor_empty");
    Load(0, demo::kKeys);
    Load(1, demo::kPad);
    Load(2, demo::kDrone);
    editor->SelectTone(1);
    editor->SetExpandAll(true);
    Tick(2);
    controlsrig::DrawAll(*editor, g);
    testsupport::ExpectMatchesReference(g, "editor_loaded");
}

}  // namespace
