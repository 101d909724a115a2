// A tone view over a stand-in tone (no player, bank or loader): how it follows the tone's
// notifications and status, and what its own controls ask of the tone and the editor.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/GigaViewLayout.h"
#include "editor/XGigaName.h"
#include "editor/XGigaPart.h"
#include "editor/XMyLed.h"
#include "editor/XStackPanel.h"
#include "editor/XValTop.h"
#include "gui/XMouse.h"
#include "gui/XTogLed.h"
#include "tests/editor/FakeTone.h"
#include "tests/editor/ViewsRig.h"

namespace viewsrig {
namespace {

namespace vl = viewlayout;
using editortest::FakeTone;

class FakeToneView : public ::testing::Test {
protected:
    FakeToneView()
    {
        root.SetWindowPort(&port);
        XToneRack* rack = root.Add<XToneRack>(0, 0, 782);
        view = rack->AddView(std::make_unique<GigaView>(editor, tone));
        view->AddListener(&editor);
    }

    FakeTone tone;
    GigaPlayer player;  // the editor's, which the view asks for the output buses
    Editor editor {player};
    Port port;
    XView root {0, 0, 800, 600};
    GigaView* view = nullptr;
};

TEST_F(FakeToneView, AFloodOfNotificationsIsAppliedAsItsLatestValuesOnTheTick)
{
    std::atomic<bool> done {false};
    std::thread audio([&] {
        for (int i = 0; i < 20000; ++i) {
            tone.Notify(KyToneView::kNotesHeld, i % 2);
            tone.Notify(KyToneView::kLoadPercent, i % 100);
        }
        tone.Notify(KyToneView::kNotesHeld, 1);
        tone.Notify(KyToneView::kLoadPercent, 42);
        done = true;
    });
    while (!done) view->Tick();  // the GUI keeps ticking meanwhile
    audio.join();
    view->Tick();
    EXPECT_TRUE(view->MidiLed().IsOn());
    EXPECT_EQ(view->Name().Progress(), 42);
}

struct StatusCase {
    int status;
    const char* text;  // null: the tone's name
    XColor colour;
};

class StatusLooks : public FakeToneView, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusLooks, TheNameFollowsTheStatusOnTheTick)
{
    const StatusCase& c = GetParam();
    tone.AddLayer("/banks/demo.gig", 0);
    tone.SetStatus(GigaToneEdit::kLoadedAndShown);
    view->Tick();
    tone.Notify(KyToneView::kLoadPercent, 50);
    tone.SetStatus(c.status);
    view->Tick();
    EXPECT_EQ(view->Name().Text(), c.text ? c.text : "demo.gig");
    EXPECT_EQ(view->Name().GetColor(2), c.colour);
    EXPECT_EQ(view->Name().Progress(), c.status == GigaToneEdit::kLoadingSamples ? 50 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusLooks,
    ::testing::Values(StatusCase {GigaToneEdit::kLoadRequested, nullptr, vl::kRequested},
                      StatusCase {GigaToneEdit::kReadingProgram, "Loading File...", vl::kReading},
                      StatusCase {GigaToneEdit::kLoadingSamples, "Loading Samples", vl::kSampling},
                      StatusCase {GigaToneEdit::kNotEnoughMemory, nullptr, vl::kFailed},
                      StatusCase {GigaToneEdit::kLoadedWithFailure, nullptr, vl::kFailed}));

TEST_F(FakeToneView, MuteSoloAndTheStackButtonAskTheEditor)
{
    tone.AddLayer("/banks/demo.gig", 0);
    tone.AddLayer("/banks/demo.gig", 1);
    const std::pair<int, const char*> badges[] {{0, "+"},    {11, "CC"},  {130, "VL"}, {133, "KS"},
                                                {135, "RD"}, {199, "PC"}, {134, ""}};
    for (const auto& [mode, badge] : badges) {
        tone.SetSelectMode(mode);
        view->Refresh();
        EXPECT_EQ(view->Stack().Badge().Text(), badge) << mode;
    }
    XTogLed& mute = const_cast<XTogLed&>(view->MuteLed());
    XTogLed& solo = const_cast<XTogLed&>(view->SoloLed());
    XMouse press;
    mute.MouseDown(&press);
    EXPECT_EQ(tone.Mute(GigaToneEdit::kRequestedMute), 1);
    solo.MouseDown(&press);
    solo.MouseDown(&press);
    EXPECT_EQ(tone.Mute(GigaToneEdit::kRequestedMute), 4);
    view->Stack().Part(1).MuteLed().MouseDown(&press);
    view->Stack().Part(1).SoloLed().MouseDown(&press);
    int requested = 0;
    tone.EditLayer(1, [&](GigaPart& layer) { requested = layer.mute[2]; });
    EXPECT_EQ(requested, 2);
    EXPECT_EQ(editor.Count("Mute"), 5);
    view->ButtonClicked(nullptr, 0);
    EXPECT_EQ(editor.Count("KySe"), 0) << "only the stack button edits the stack";
}

}  // namespace
}  // namespace viewsrig
