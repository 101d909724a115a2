// The rack's statistics read from a thread of their own while the host's audio thread plays:
// the voice count comes from what the audio thread publishes, never from its voice pool.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "giga/GigaPlayer.h"
#include "tests/support/WaitFor.h"
#include "tests/tone/ToneFixture.h"

namespace tonetest {
namespace {

TEST(VoiceCountThreads, StatisticsFollowTheVoicesWhileTheAudioThreadPlays)
{
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    const std::string path = folder.File("count.gig");
    testsupport::GigWriter(OneRegion({})).Write(path);

    GigaPlayer player;
    player.OnInit();
    player.Giga(0)->AddLayer(path, 0);
    player.RequestLoading();
    player.WaitWhileLoading();
    ASSERT_EQ(player.Giga(0)->Status(), GigaTone::kLoaded);

    std::atomic<bool> playing {true};
    std::atomic<bool> running {true};
    std::thread audio([&] {
        KyBufferList buses;
        buses.SetBusCount(16);
        buses.AllocateOwned(256);
        for (int block = 0; running; ++block) {
            if (playing && block % 4 == 0) player.NoteOn(0, 40 + block % 40, 100, 0);
            buses.ClearReadyFlags();
            player.Process(&buses, 256);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });

    const auto seen = [&](auto condition, const char* what) {
        return testsupport::WaitFor(
            [&] {
                player.Statistics();
                return condition(player.VoicesInUse());
            },
            what);
    };
    EXPECT_TRUE(seen([](int voices) { return voices > 0; }, "the notes to be counted"));
    playing = false;
    EXPECT_TRUE(
        seen([](int voices) { return voices == 0; }, "the ended voices to leave the count"));
    running = false;
    audio.join();
}

}  // namespace
}  // namespace tonetest
