// A disk thread held in a read that does not end (a dead network drive) is given up by closing
// instead of being waited for: the file, its streams and the voices go while it still reads,
// the thread ends without touching them once its read returns, and new users get a new thread.
// The program exports the platform's seams for openings (tests/support/HeldReads) and for the
// stream reads (MarletFileReading, below). Runs under ThreadSanitizer and ASan.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>

#include "stream/GigaDiskThread.h"
#include "tests/stream/StreamRig.h"
#include "tests/support/HeldReads.h"
#include "tests/support/WaitFor.h"
#include "tests/voice/VoiceRig.h"

namespace {

using namespace streamtest;
using testsupport::HeldReads;
using testsupport::WaitFor;
using voicetest::PlainZone;
using voicetest::Rig;

HeldReads& StreamReads()
{
    // Never destroyed: a thread given up may come by at exit.
    static auto* reads = new HeldReads;
    return *reads;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void MarletFileReading(const char* path)
{
    StreamReads().Opening(path);
}

namespace {

constexpr int kBlock = 256;
constexpr int kFrames = 200000;
constexpr int kPreload = 20000;

struct HoldCase {
    const char* name;
    bool atOpening;   // the stream's open of the file, else its reads
    bool afterStart;  // once the stream has handed out data (in the refills, not the hand-out)
};

void PrintTo(const HoldCase& hold, std::ostream* out)
{
    *out << hold.name;
}

HeldReads& Holder(const HoldCase& hold)
{
    return hold.atOpening ? HeldReads::Instance() : StreamReads();
}

std::string WriteLong(const testsupport::TempFolder& folder, const std::string& name)
{
    return WriteGig(folder, name, {SamplePlan({2, 16, false, {0, 0}}, kFrames)});
}

// A voice on the file's sample, in a rig of its own.
struct Player {
    PreloadedFile file;
    Rig rig;
    GigaZone zone;
    GigaVoice* voice = nullptr;

    explicit Player(const std::string& path) : file(path, 1, kPreload)
    {
        PlainZone(zone, file.Sample());
    }
    bool Block()
    {
        rig.Block(kBlock);
        return true;
    }
    // Starts the voice and plays until it has asked for its stream; from there on the disk
    // thread hands the stream out whether the voice plays or not (a voice played on meanwhile
    // could run out of its head first on a slow machine).
    void StartAndAsk()
    {
        voice = rig.Start(zone);
        ASSERT_TRUE(
            WaitFor([&] { return Block() && (voice->RequestedSample() || voice->HasStream()); },
                    "the voice asking for its stream"));
    }
    void AwaitStream()
    {
        ASSERT_TRUE(WaitFor([&] { return voice->HasStream(); }, "the voice's stream"));
    }
};

// The voice gets a stream and the disk thread keeps adding to the rings as the voice plays.
void ExpectStreams(Player& player, const char* what)
{
    GigaDiskThread& disk = GigaDiskThread::Instance();
    ASSERT_TRUE(WaitFor([&] { return player.voice->HasStream(); }, what));
    const std::uint64_t before = disk.RefilledValues();
    EXPECT_TRUE(WaitFor([&] { return player.Block() && disk.RefilledValues() > before; }, what));
}

class DiskThreadGiveUp : public ::testing::TestWithParam<HoldCase> {
protected:
    void SetUp() override
    {
        GigaVoice::SetStreamPort(&GigaDiskThread::Port());
        GigaDiskThread::Instance().WaitStopped();
    }
    testsupport::TempFolder folder;
};

TEST_P(DiskThreadGiveUp, TheLastUserLeavesTheThreadAndTheNextUserGetsANewOne)
{
    const HoldCase& hold = GetParam();
    const std::string path = WriteLong(folder, "held.gig");
    GigaDiskThread& disk = GigaDiskThread::Instance();
    {
        auto player = std::make_unique<Player>(path);
        ASSERT_TRUE(player->file.Ok());
        disk.AddUser();
        if (!hold.afterStart) Holder(hold).Hold(path);
        player->StartAndAsk();
        if (hold.afterStart) {
            player->AwaitStream();
            Holder(hold).Hold(path);
        }
        // Played on in a refill: the ring may be full, and is read again once the voice has
        // taken some of it.
        ASSERT_TRUE(WaitFor(
            [&] {
                return (!hold.afterStart || player->Block()) &&
                       Holder(hold).AwaitHeld(path, std::chrono::milliseconds(0));
            },
            "the disk thread held in the file"));

        EXPECT_TRUE(testsupport::ReturnsWithin(
            "RemoveUser of the last user", [&] { disk.RemoveUser(); },
            [&] { Holder(hold).Release(path); }))
            << "closing waited for the read";
        EXPECT_FALSE(disk.IsRunning());
        EXPECT_EQ(GigaDiskThread::ThreadsGivenUp(), 1);
        // The voices, the file, its pool and streams go while the thread still reads.
        player.reset();
    }
    Holder(hold).Release(path);
    ASSERT_TRUE(WaitFor([] { return GigaDiskThread::ThreadsGivenUp() == 0; },
                        "the thread given up ending once its read returned"));

    Player again(path);
    ASSERT_TRUE(again.file.Ok());
    const DiskUser user;
    again.StartAndAsk();
    ExpectStreams(again, "a new thread streaming");
}

INSTANTIATE_TEST_SUITE_P(Holds, DiskThreadGiveUp,
                         ::testing::Values(HoldCase {"OpeningInTheHandOut", true, false},
                                           HoldCase {"ReadingInTheHandOut", false, false},
                                           HoldCase {"ReadingInARefill", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiskThreadGiveUp, SettlingGivesUpTheThreadAndTheOtherUsersStreamsGoOn)
{
    const std::string heldPath = WriteLong(folder, "held.gig");
    Player held(heldPath);
    Player other(WriteLong(folder, "other.gig"));
    ASSERT_TRUE(held.file.Ok() && other.file.Ok());
    GigaDiskThread& disk = GigaDiskThread::Instance();
    const DiskUser user;
    other.StartAndAsk();
    other.AwaitStream();
    StreamReads().Hold(heldPath);
    held.StartAndAsk();
    ASSERT_TRUE(WaitFor([&] { return StreamReads().AwaitHeld(heldPath, {}); },
                        "the disk thread held in the file"));

    EXPECT_TRUE(testsupport::ReturnsWithin(
        "SettlePasses", [&] { disk.SettlePasses(2); }, [&] { StreamReads().Release(heldPath); }))
        << "settling waited for the read";
    EXPECT_EQ(GigaDiskThread::ThreadsGivenUp(), 1);
    EXPECT_TRUE(disk.IsRunning()) << "no thread took over for the user left";
    // The new thread took over the other voice's stream.
    ExpectStreams(other, "the other voice's stream going on");
    EXPECT_NE(other.voice->GetState(), KyVoice::kEnded);

    StreamReads().Release(heldPath);
    EXPECT_TRUE(WaitFor([] { return GigaDiskThread::ThreadsGivenUp() == 0; },
                        "the thread given up ending once its read returned"));
}

}  // namespace
