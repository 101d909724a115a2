// Notifications from the audio and loading threads of a real player reach the views only
// through mailboxes that their tick empties (run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <thread>

#include "editor/XValTop.h"
#include "player/KyBufferList.h"
#include "tests/editor/ViewsRig.h"

namespace viewsrig {
namespace {

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
        auto view = std::make_unique<GigaView>(quiet, *player.ToneEdit(3));
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
