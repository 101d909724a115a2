// Notifications from the audio and loading threads reach the view only through atomics that
// its tick takes up (run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/XGigaName.h"
#include "editor/XMyLed.h"
#include "editor/XValTop.h"
#include "gui/XTogLed.h"
#include "player/KyBufferList.h"
#include "tests/editor/ViewsRig.h"

namespace viewsrig {
namespace {

TEST_F(ViewsTest, AFloodOfNotificationsIsAppliedAsItsLatestValuesOnTheTick)
{
    GigaTone& tone = Tone(0);
    GigaView& view = View(0);
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
    while (!done) view.Tick();  // the GUI keeps ticking meanwhile
    audio.join();
    view.Tick();
    EXPECT_TRUE(view.MidiLed().IsOn());
    EXPECT_EQ(view.Name().Progress(), 42);
}

TEST_F(ViewsTest, ControllerChangesMoveTheFadersOnTheTick)
{
    Load(0, {demo::kKeys});
    player.KyStart();
    player.ControlChange(0, KyTone::kVolumeController, 33, 0);
    player.ControlChange(0, KyTone::kPanController, 20, 0);
    std::thread audio([&] {
        KyBufferList buses;
        buses.SetBusCount(16);
        buses.AllocateOwned(256);
        for (int block = 0; block < 50; ++block) {
            buses.ClearReadyFlags();
            player.Process(&buses, 256);
        }
    });
    audio.join();
    View(0).Tick();
    EXPECT_EQ(View(0).FaderValue(0).Text(), "33");
    EXPECT_EQ(View(0).FaderValue(2).Text(), "L44");
    player.KyStop();
}

TEST_F(ViewsTest, ViewsComeAndGoWhileTheLoaderNotifiesThem)
{
    GigaTone& tone = Tone(3);
    for (int round = 0; round < 6; ++round) {
        Editor quiet(player);
        auto view = std::make_unique<GigaView>(quiet, tone);
        tone.Clear();
        tone.AddLayer(bank, round % 3);
        player.RequestLoading();
        // Gone while the loader may be telling it the status and progress.
        if (round % 2) view->Tick();
        view.reset();
    }
    player.WaitWhileLoading();
    EXPECT_EQ(tone.View(), nullptr);
}

}  // namespace
}  // namespace viewsrig
