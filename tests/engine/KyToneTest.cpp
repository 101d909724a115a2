#include "engine/KyTone.h"

#include <gtest/gtest.h>

#include "player/KyBufferList.h"
#include "player/KyPlayer.h"
#include "tests/support/RecordingTone.h"

namespace {

using testsupport::RecordingTone;
using testsupport::RecordingView;

// One started tone inside a player, so that blocks run exactly as the host drives them.
class ToneFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<RecordingTone>(0, 0);
        tone = owned.get();
        player.AddTone(std::move(owned));
        buses.SetBusCount(16);
        buses.AllocateOwned(64);
        player.KyStart();
        Block();
    }
    void Block()
    {
        buses.ClearReadyFlags();
        player.Process(&buses, 64);
    }
    void CC(int controller, int value) { player.ControlChange(0, controller, value, 0); }

    KyPlayer player;
    RecordingTone* tone = nullptr;
    KyBufferList buses;
};

TEST_F(ToneFixture, AFullQueueIsAppliedInOneBlockInOrderAndTheOverflowIsDropped)
{
    for (int i = 0; i < 1024; ++i) tone->ControlChange(1, i % 128, i);
    EXPECT_EQ(tone->DroppedEvents(), 1u);
    Block();
    const auto events = tone->Events();
    ASSERT_EQ(events.size(), 1023u);
    for (int i = 0; i < 1023; ++i) {
        EXPECT_EQ(events[static_cast<std::size_t>(i)].event.offset, i);
        EXPECT_EQ(events[static_cast<std::size_t>(i)].block, events[0].block);
    }
}

TEST_F(ToneFixture, AWrappedQueueIsAppliedAsTwoRunsWithNothingLost)
{
    for (int i = 0; i < 1000; ++i) tone->ControlChange(1, 0, 0);
    Block();
    const std::size_t before = tone->Events().size();
    const int runsBefore = tone->Runs();
    for (int i = 0; i < 100; ++i) tone->NoteOn(i, 100, i);
    Block();
    const auto events = tone->Events();
    ASSERT_EQ(events.size(), before + 100);
    EXPECT_EQ(tone->Runs(), runsBefore + 2);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(events[before + static_cast<std::size_t>(i)].event.data1, i);
}

TEST_F(ToneFixture, KeyboardEventsHaveTheirOwnQueueDrainedInTheSameBlock)
{
    tone->KeyboardNoteOn(64, 90);
    player.NoteOn(0, 60, 100, 17);
    EXPECT_TRUE(tone->IsKeyDown(64));
    Block();
    const auto on = tone->EventsOfType(KyMidiEvent::kNoteOn);
    ASSERT_EQ(on.size(), 2u);
    EXPECT_EQ(on[0].data1, 60);
    EXPECT_EQ(on[0].offset, 17);
    EXPECT_EQ(on[1].data1, 64);
    EXPECT_EQ(on[1].offset, 0);
    tone->KeyboardNoteOff(64);
    EXPECT_FALSE(tone->IsKeyDown(64));
}

TEST_F(ToneFixture, ANoteAndItsReleaseInOneBlockAreBothAppliedAtItsStart)
{
    player.NoteOn(0, 60, 100, 10);
    player.NoteOff(0, 60, 0, 200);
    Block();
    const auto events = tone->Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].event.type, KyMidiEvent::kNoteOn);
    EXPECT_EQ(events[1].event.type, KyMidiEvent::kNoteOff);
    EXPECT_EQ(events[0].block, events[1].block);
    EXPECT_EQ(tone->ActiveNotes(), 0);
}

TEST_F(ToneFixture, VolumeExpressionPanAndSustainFollowTheirControllers)
{
    CC(7, 64);
    Block();
    EXPECT_EQ(tone->Volume(), 64);
    EXPECT_EQ(tone->EffectiveVolume(), 64);
    CC(11, 64);
    CC(10, 20);
    CC(64, 1);
    Block();
    EXPECT_EQ(tone->EffectiveVolume(), 32);
    EXPECT_EQ(tone->Pan(), 20);
    EXPECT_TRUE(tone->Sustain());
    CC(64, 0);
    Block();
    EXPECT_FALSE(tone->Sustain());
}

TEST_F(ToneFixture, PitchBendSpansMinus8192To8191)
{
    const struct {
        int low, high, bend;
    } cases[] = {{0, 64, 0}, {127, 127, 8191}, {0, 0, -8192}, {1, 64, 1}};
    for (const auto& c : cases) {
        player.PitchBend(0, c.low, c.high, 0);
        Block();
        EXPECT_EQ(tone->Bend(), c.bend) << c.low << "/" << c.high;
    }
}

TEST_F(ToneFixture, ResetControllersKeepsTheHighControllersAndTheDimensionSources)
{
    EXPECT_EQ(tone->ControllerValue(12), 127) << "a new tone starts reset";
    tone->SetController(133, 5);
    CC(1, 99);
    CC(12, 3);
    CC(122, 77);
    CC(7, 50);
    Block();
    CC(121, 0);
    Block();
    for (int c = 0; c < 120; ++c) {
        const bool high = c == 12 || c == 13 || (c >= 80 && c <= 83) || c == 94 || c == 95;
        EXPECT_EQ(tone->ControllerValue(c), high ? 127 : 0) << "controller " << c;
    }
    EXPECT_EQ(tone->ControllerValue(121), 0);
    EXPECT_EQ(tone->ControllerValue(122), 77);
    EXPECT_EQ(tone->ControllerValue(133), 5);
    EXPECT_EQ(tone->Volume(), 50) << "the tone's own values are not reset";
}

TEST_F(ToneFixture, AllNotesOffControllersReleaseEveryKeyInTheNextBlock)
{
    player.NoteOn(0, 60, 100, 0);
    Block();
    EXPECT_TRUE(tone->IsKeyDown(60));
    CC(123, 0);
    Block();
    EXPECT_TRUE(tone->EventsOfType(KyMidiEvent::kNoteOff).empty());
    EXPECT_FALSE(tone->IsKeyDown(60));
    Block();
    const auto offs = tone->EventsOfType(KyMidiEvent::kNoteOff);
    ASSERT_EQ(offs.size(), 128u);
    for (int key = 0; key < 128; ++key) EXPECT_EQ(offs[static_cast<std::size_t>(key)].data1, key);
}

TEST_F(ToneFixture, WatchedControllersAndHeldNotesAreNotified)
{
    RecordingView view;
    tone->SetView(&view);
    tone->WatchController(7);
    CC(1, 10);  // not watched
    Block();
    EXPECT_TRUE(view.Notes().empty());
    CC(7, 10);
    Block();
    ASSERT_EQ(view.Notes().size(), 1u);
    EXPECT_EQ(view.Notes()[0].first, KyToneView::kControllersChanged);

    view.Clear();
    tone->SetSoundingBlocks(3);
    player.NoteOn(0, 60, 100, 0);
    Block();
    player.NoteOff(0, 60, 0, 0);
    Block();
    const auto notes = view.Notes();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], std::make_pair(KyToneView::kNotesHeld, 1));
    EXPECT_EQ(notes[1], std::make_pair(KyToneView::kNotesHeld, 0));
    tone->SetView(nullptr);
}

TEST(KyTone, AnInactiveToneQueuesNothingButTracksKeys)
{
    RecordingTone tone(0, 0);
    tone.NoteOn(60, 100, 0);
    EXPECT_TRUE(tone.IsKeyDown(60));
    tone.NoteOn(200, 100, 0);  // out of range: ignored, no stray write
    tone.NoteOff(60, 0, 0);
    EXPECT_FALSE(tone.IsKeyDown(60));
    KyBufferList buses;
    tone.Render(&buses, 64);
    EXPECT_TRUE(tone.Events().empty());
}

TEST(KyTone, DefaultsAndTheirReset)
{
    RecordingTone tone(3, 3);
    EXPECT_EQ(tone.Volume(), 90);
    EXPECT_EQ(tone.Expression(), 127);
    EXPECT_EQ(tone.EffectiveVolume(), 90);
    EXPECT_EQ(tone.Pan(), 64);
    EXPECT_EQ(tone.Bend(), 0);
    EXPECT_FALSE(tone.Sustain());
    tone.SetVolume(10);
    tone.SetPan(1);
    tone.SetTune(-30);
    tone.NoteOn(5, 1, 0);
    tone.ResetDefaults();
    EXPECT_EQ(tone.EffectiveVolume(), 90);
    EXPECT_EQ(tone.Pan(), 64);
    EXPECT_EQ(tone.Tune(), 0);
    EXPECT_FALSE(tone.IsKeyDown(5));
}

}  // namespace
