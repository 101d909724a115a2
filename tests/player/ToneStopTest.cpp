// The stop handshake against a block in progress, and what a stop leaves in the MIDI queues.
// The audio thread is held inside a block by a tone that waits in its mix until released, so
// every interleaving here is driven, not hoped for.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/Platform.h"
#include "player/KyBufferList.h"
#include "player/KyPlayer.h"
#include "tests/support/RecordingTone.h"
#include "tests/support/WaitFor.h"
#include "tests/support/Watchdog.h"

namespace {

using testsupport::RecordingTone;
using testsupport::WaitFor;

// A tone whose mix waits, once armed, until the test lets the block go on.
class HoldingTone : public RecordingTone {
public:
    using RecordingTone::RecordingTone;
    void Arm() { armed_ = true; }
    bool Holding() const { return holding_; }
    void Release() { armed_ = false; }

protected:
    int MixVoices(KyBufferList* outputs, int frames) override
    {
        holding_ = armed_.load();
        while (armed_) std::this_thread::yield();
        holding_ = false;
        return RecordingTone::MixVoices(outputs, frames);
    }

private:
    std::atomic<bool> armed_ {false};
    std::atomic<bool> holding_ {false};
};

class ToneStop : public ::testing::Test {
protected:
    ToneStop()
    {
        auto holder = std::make_unique<HoldingTone>(0, 0);
        auto late = std::make_unique<RecordingTone>(1, 1, /*hasInstrument=*/false);
        holding = holder.get();
        tone = late.get();
        player.AddTone(std::move(holder));
        player.AddTone(std::move(late));
        buses.SetBusCount(16);
        buses.AllocateOwned(kFrames);
    }
    void Block()
    {
        buses.ClearReadyFlags();
        player.Process(&buses, kFrames);
    }

    static constexpr int kFrames = 128;
    KyPlayer player;
    HoldingTone* holding = nullptr;
    RecordingTone* tone = nullptr;
    KyBufferList buses;
};

// The block in progress has not reached the tone yet when its pending start is stopped: the
// stop withdraws the start and returns only once that block is over.
TEST_F(ToneStop, APendingStartIsWithdrawnAndTheBlockInProgressIsWaitedOut)
{
    player.KyStart();
    Block();
    ASSERT_TRUE(holding->IsActive());
    tone->SetHasInstrument(true);
    ASSERT_TRUE(tone->Start());

    holding->Arm();
    std::thread audio([&] { Block(); });
    EXPECT_TRUE(WaitFor([&] { return holding->Holding(); }, "the block held in the mix"));
    std::atomic<bool> stopped {false};
    std::thread control([&] {
        tone->Stop();
        stopped = true;
    });
    EXPECT_TRUE(WaitFor([&] { return tone->Mailbox() != KyToneBase::kStartRequest || stopped; },
                        "the stop to withdraw the pending start"));
    // The block is still held: a stop that has returned by now did not wait it out.
    const bool returnedDuringTheBlock = stopped;
    holding->Release();
    audio.join();
    control.join();

    EXPECT_FALSE(returnedDuringTheBlock) << "the stop returned while a block was rendering";
    EXPECT_FALSE(tone->IsActive());
    EXPECT_EQ(tone->Blocks(), 0) << "the block in progress took the start up after the stop";
    Block();
    EXPECT_FALSE(tone->IsActive());
}

// A note-on queued for a tone about to start, then a stop, then the note-off while stopped
// (dropped): the next start must not play the note-on alone.
TEST_F(ToneStop, ANoteQueuedBeforeTheFirstBlockDoesNotOutliveAStop)
{
    tone->SetHasInstrument(true);
    player.KyStart();
    player.NoteOn(1, 60, 100, 0);  // queued: the start is pending
    player.KyStop();
    player.NoteOff(1, 60, 0, 0);  // dropped: the player is stopped
    player.KyStart();
    Block();
    Block();
    EXPECT_TRUE(tone->IsActive());
    EXPECT_EQ(tone->EventsOfType(KyMidiEvent::kNoteOn).size(),
              tone->EventsOfType(KyMidiEvent::kNoteOff).size())
        << "a note lost one of its events across the stop";
}

// The on-screen keyboard keeps playing while a load stops the tone: once the stop has begun to
// silence the tone, no note may start a voice, or that voice would outlive the stop and play
// the programs the load is about to free.
TEST_F(ToneStop, NoNoteStartsOnceTheStopSilencesTheTone)
{
    player.KyStart();
    Block();
    ASSERT_TRUE(holding->IsActive());
    std::atomic<bool> stopped {false};
    std::thread control([&] {
        holding->Stop();
        stopped = true;
    });
    {
        testsupport::Watchdog watchdog("the stop to return while the keyboard plays");
        while (!stopped) {
            holding->KeyboardNoteOn(60, 100);
            Block();
            holding->KeyboardNoteOff(60);
        }
    }
    control.join();
    EXPECT_FALSE(holding->IsActive());
    EXPECT_EQ(holding->Killed(), 1);
    int late = 0;
    for (const RecordingTone::Applied& a : holding->Events()) late += a.afterKill ? 1 : 0;
    EXPECT_EQ(late, 0) << "events were applied after the stop silenced the tone";
}

}  // namespace
