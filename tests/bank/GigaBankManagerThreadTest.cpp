#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaBankManager.h"
#include "platform/Platform.h"
#include "player/KyPlayer.h"
#include "tests/support/WaitFor.h"

namespace {

using testsupport::WaitFor;

// A player whose loading step counts passes, loads "marked" tones, and can be held inside the
// first pass so that requests arrive while it runs.
class PassPlayer : public KyPlayer {
public:
    bool LoadTones() override
    {
        const int pass = ++passes;
        if (marked.exchange(false)) ++loads;
        if (pass == 1) {
            inside.store(true);
            // A test that failed before letting go gets its pass back after the deadline.
            EXPECT_TRUE(WaitFor([this] { return release.load(); }, "the test to release the pass"));
        }
        return true;
    }

    std::atomic<int> passes {0};
    std::atomic<int> loads {0};
    std::atomic<bool> marked {false};
    std::atomic<bool> inside {false};
    std::atomic<bool> release {false};
};

// The pass the player of this program installs, here over the test players.
class GigaBankManagerThreads : public ::testing::Test {
protected:
    void SetUp() override { GigaBankManager::SetLoadPass(&VisitPlayers); }
    void TearDown() override { GigaBankManager::SetLoadPass(nullptr); }

    static void VisitPlayers()
    {
        KyPlayer::ForEachPlayer([](KyPlayer& player) { player.LoadTones(); });
    }
};

}  // namespace

TEST_F(GigaBankManagerThreads, RequestsDuringAPassAreNotLost)
{
    PassPlayer player;
    GigaBankManager manager;
    manager.Request();
    ASSERT_TRUE(WaitFor([&] { return player.inside.load(); }, "the pass to reach the player"));

    // Two threads mark tones after the pass looked at the player, then ask for loading.
    std::atomic<int> ready {0};
    auto ask = [&] {
        ++ready;
        while (ready.load() < 2) std::this_thread::yield();
        player.marked.store(true);
        manager.Request();
    };
    std::thread a(ask), b(ask);
    a.join();
    b.join();
    EXPECT_TRUE(manager.IsRunning());
    player.release.store(true);
    ASSERT_TRUE(WaitFor([&] { return !manager.IsRunning(); }, "the passes to end"));

    // The two requests became one more pass, which loaded the marked tones.
    EXPECT_EQ(player.passes.load(), 2);
    EXPECT_FALSE(player.marked.load());
    EXPECT_EQ(player.loads.load(), 1);

    // Idle again: the next request starts a new thread.
    player.marked.store(true);
    manager.Request();
    ASSERT_TRUE(WaitFor([&] { return !manager.IsRunning(); }, "the new thread's pass to end"));
    EXPECT_EQ(player.passes.load(), 3);
    EXPECT_EQ(player.loads.load(), 2);
}

TEST_F(GigaBankManagerThreads, ManyRequestersNeverLoseTheLastRequest)
{
    PassPlayer player;
    player.release.store(true);
    GigaBankManager manager;
    std::atomic<int> requested {0};
    auto ask = [&] {
        for (int i = 0; i < 200; ++i) {
            player.marked.store(true);
            manager.Request();
            ++requested;
        }
    };
    std::thread a(ask), b(ask);
    a.join();
    b.join();
    ASSERT_TRUE(WaitFor([&] { return !manager.IsRunning(); }, "the last pass to end"));
    // Every mark made before a request was taken by some pass.
    EXPECT_FALSE(player.marked.load());
    EXPECT_GE(player.passes.load(), 1);
    EXPECT_EQ(requested.load(), 400);
}

TEST_F(GigaBankManagerThreads, DestructionWaitsForTheRunningPass)
{
    PassPlayer player;
    std::thread releaser;
    {
        GigaBankManager manager;
        manager.Request();
        EXPECT_TRUE(WaitFor([&] { return player.inside.load(); }, "the pass to reach the player"));
        // The pause only gives the destructor the time to begin its wait; nothing counts on it.
        releaser = std::thread([&] {
            platform::SleepMs(20);
            player.release.store(true);
        });
        // The destructor joins the pass before the banks go.
    }
    EXPECT_TRUE(player.release.load());
    EXPECT_EQ(player.passes.load(), 1);
    releaser.join();
}

TEST_F(GigaBankManagerThreads, HoldersMayReleaseWhileAPassRuns)
{
    // A tone destroyed on the host's thread drops its bank while the loader looks for banks to
    // delete.
    testsupport::TempFolder folder;
    testsupport::GigWriter(testsupport::GigFilePlan {}).Write(folder.File("b.gig"));
    GigaBankManager manager;
    GigaBank* bank = manager.RetainBank(folder.File("b.gig"));
    ASSERT_NE(bank, nullptr);
    bank->Retain();
    std::thread holder([bank] { bank->Release(); });
    for (int i = 0; i < 20; ++i) {
        manager.Request();
        EXPECT_TRUE(WaitFor([&] { return !manager.IsRunning(); }, "the pass to end"));
    }
    holder.join();
    EXPECT_EQ(manager.BankCount(), 1);
    EXPECT_EQ(bank->RefCount(), 1);
}
