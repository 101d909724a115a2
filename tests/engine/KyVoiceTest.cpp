#include "engine/KyVoice.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/KyVoicePool.h"
#include "player/KyBufferList.h"
#include "player/KyPlayer.h"
#include "tests/support/RecordingTone.h"
#include "tests/support/WaitFor.h"

namespace {

// A voice that sounds for a chosen number of frames, then ends; a release shortens it.
class CountedVoice : public KyVoice {
public:
    static inline int live = 0;
    CountedVoice() { ++live; }
    ~CountedVoice() override { --live; }

    void Start() override
    {
        remaining = framesToPlay;
        ++starts;
    }
    int Render(KyBufferList* outputs, int, int frames, int) override
    {
        sawOutputs = outputs != nullptr;
        if (GetState() == kRelease || GetState() == kKill) {
            SetState(kReleasing);
            remaining = std::min(remaining, releaseFrames);
        }
        const int made = std::min(remaining, frames);
        remaining -= made;
        return made;
    }
    void ReleaseStream() override { ++streamReleases; }

    int framesToPlay = 1'000'000;
    int releaseFrames = 100;
    int remaining = 0;
    int starts = 0;
    int streamReleases = 0;
    bool sawOutputs = false;
};

TEST(KyVoiceList, IsFirstInFirstOutAndRemovesFromAnywhere)
{
    KyVoicePool<CountedVoice> voices {3};
    KyVoiceList list;
    while (voices.Free().TakeFirst()) {
    }
    CountedVoice* a = &voices[0];
    CountedVoice* b = &voices[1];
    CountedVoice* c = &voices[2];
    list.Append(a);
    list.Append(b);
    list.Append(c);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.Remove(c));  // the tail
    list.Append(c);               // tail fixed: c goes after b
    EXPECT_TRUE(list.Remove(b));  // the middle
    EXPECT_FALSE(list.Remove(b));
    EXPECT_EQ(list.TakeFirst(), a);
    EXPECT_EQ(list.TakeFirst(), c);
    EXPECT_EQ(list.TakeFirst(), nullptr);
    list.Append(a);
}

TEST(KyVoicePool, OwnsItsVoicesForItsLifeWhileListsOnlyLinkThem)
{
    const int before = CountedVoice::live;
    {
        KyVoicePool<CountedVoice> voices {5};
        EXPECT_EQ(CountedVoice::live, before + 5);
        EXPECT_EQ(voices.Free().Count(), 5);
        {
            KyVoiceList sounding;
            sounding.Append(voices.Free().TakeFirst());
        }
        // A list that goes takes nothing with it.
        EXPECT_EQ(CountedVoice::live, before + 5);
        voices.Free().Append(&voices[0]);
    }
    EXPECT_EQ(CountedVoice::live, before);
}

class VoiceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 2; ++i) {
            auto tone = std::make_unique<testsupport::RecordingTone>(i, i);
            tone->SetVoicePool(&pool);
            tones[i] = tone.get();
            player.AddTone(std::move(tone));
        }
        buses.SetBusCount(16);
        buses.AllocateOwned(64);
        player.KyStart();
        Block();
    }
    void TearDown() override { player.RemoveTones(); }
    void Block()
    {
        buses.ClearReadyFlags();
        player.Process(&buses, 64);
    }
    CountedVoice* Start(int tone, int key)
    {
        return static_cast<CountedVoice*>(tones[tone]->StartVoice(key, 100, 0, nullptr, nullptr));
    }

    KyVoicePool<CountedVoice> voices {256};  // outlives the tones, which hand theirs back
    KyVoiceList& pool = voices.Free();
    KyPlayer player;
    testsupport::RecordingTone* tones[2] {};
    KyBufferList buses;
};

TEST_F(VoiceFixture, The257thNoteFindsNoVoiceUntilOneHasEnded)
{
    for (int i = 0; i < 256; ++i) ASSERT_NE(Start(i % 2, i % 128), nullptr);
    EXPECT_EQ(Start(0, 1), nullptr);
    CountedVoice* first = static_cast<CountedVoice*>(tones[0]->Voices().Head());
    first->RequestRelease();
    Block();
    Block();
    EXPECT_EQ(first->GetState(), KyVoice::kEnded);
    EXPECT_EQ(first->streamReleases, 1);
    EXPECT_EQ(pool.Count(), 1);
    EXPECT_EQ(Start(1, 2), first) << "the voice that ended is reused";
}

TEST_F(VoiceFixture, SustainHoldsAReleasedVoiceUntilThePedalIsUp)
{
    player.ControlChange(0, 64, 127, 0);
    Block();
    CountedVoice* voice = Start(0, 60);
    voice->RequestRelease();
    Block();
    EXPECT_EQ(voice->GetState(), KyVoice::kHeld);
    CountedVoice* again = Start(0, 60);
    EXPECT_NE(again, voice) << "a second note on the same key gets its own voice";
    player.ControlChange(0, 64, 0, 0);
    Block();
    EXPECT_EQ(voice->GetState(), KyVoice::kReleasing);
    EXPECT_EQ(again->GetState(), KyVoice::kPlaying);
}

TEST_F(VoiceFixture, AVoiceThatRunsOutEndsByItselfAndZeroFramesEndsAtOnce)
{
    CountedVoice* shortOne = Start(0, 60);
    shortOne->remaining = 100;
    CountedVoice* silent = Start(0, 61);
    silent->remaining = 0;
    Block();
    EXPECT_EQ(silent->GetState(), KyVoice::kEnded);
    EXPECT_EQ(shortOne->GetState(), KyVoice::kPlaying);
    Block();
    EXPECT_EQ(shortOne->GetState(), KyVoice::kEnded);
    EXPECT_EQ(shortOne->FramesPlayed(), 100);
    EXPECT_TRUE(tones[0]->Voices().Empty());
    EXPECT_EQ(pool.Count(), 256);
}

TEST_F(VoiceFixture, StopKillsTheVoicesAndAnswersWhenTheLastHasGone)
{
    CountedVoice* voice = Start(0, 60);
    // The host keeps asking for blocks until the stop has been answered: a host that went quiet
    // would have the stop end the voices at once instead.
    std::thread audio([&] {
        EXPECT_TRUE(testsupport::WaitFor(
            [&] {
                Block();
                return !tones[0]->IsActive();
            },
            "the stop to silence the tone"));
    });
    player.KyStop();
    audio.join();
    EXPECT_EQ(voice->GetState(), KyVoice::kEnded);
    EXPECT_EQ(voice->FramesPlayed() % 64, 100 % 64) << "it faded out through its release";
    EXPECT_EQ(pool.Count(), 256);
}

TEST_F(VoiceFixture, AMutedToneRendersItsVoicesWithoutOutput)
{
    CountedVoice* voice = Start(0, 60);
    tones[0]->SetMute(KyTone::kCurrentMute, 1);
    Block();
    EXPECT_FALSE(voice->sawOutputs);
    EXPECT_EQ(voice->FramesPlayed(), 64);
    tones[0]->SetMute(KyTone::kCurrentMute, 0);
    Block();
    EXPECT_TRUE(voice->sawOutputs);
}

TEST_F(VoiceFixture, AKilledVoiceIsNotTurnedBackIntoASlowRelease)
{
    CountedVoice* voice = Start(0, 60);
    voice->Kill();
    voice->RequestRelease();
    Block();
    EXPECT_EQ(voice->GetState(), KyVoice::kReleasing);
    EXPECT_EQ(voice->releaseFrames, 100);
}

}  // namespace
