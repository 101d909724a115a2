// Stacks: which layer a note goes to, and what loading a stack does to the tone.
#include <gtest/gtest.h>

#include <set>

#include "prefs/GigaPrefs.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/RecordingTone.h"
#include "tests/tone/ToneFixture.h"

namespace tonetest {
namespace {

class Stack : public ToneFixture {
protected:
    // The layer (index) that the last started voice belongs to.
    int LayerOfNote(GigaTone& tone, int key, int velocity)
    {
        Note(0, key, velocity);
        const auto voices = Voices(tone);
        int layer = -1;
        for (int i = 0; i < tone.LayerCount(); ++i)
            if (!voices.empty() && voices.back()->Layer() == tone.Layer(i)) layer = i;
        player.AllNotesOff(0);
        Block();
        Block();
        return layer;
    }
    std::string path_ = Write(testsupport::GigFilePlan {});
};

TEST_F(Stack, VelocityPicksOneOfThreeLayers)
{
    GigaTone& tone = AddTone(path_, {0, 0, 0}, 0, GigaTone::kSelectVelocity);
    Start();
    const struct {
        int velocity, layer;
    } cases[] = {{1, 0}, {41, 0}, {42, 1}, {83, 1}, {84, 2}, {127, 2}};
    for (const auto& c : cases) EXPECT_EQ(LayerOfNote(tone, 60, c.velocity), c.layer) << c.velocity;
}

TEST_F(Stack, AControllerSelectsByItsValue)
{
    GigaTone& tone = AddTone(path_, {0, 0}, 0, 1);
    Start();
    player.ControlChange(0, 1, 63, 0);
    EXPECT_EQ(LayerOfNote(tone, 60, 100), 0);
    player.ControlChange(0, 1, 64, 0);
    EXPECT_EQ(LayerOfNote(tone, 60, 100), 1);
}

TEST_F(Stack, ProgramChangeSelectsWithinTheStack)
{
    GigaTone& tone = AddTone(path_, {0, 0, 0}, 0, GigaTone::kSelectProgramChange);
    Start();
    player.ProgramChange(0, 2);
    EXPECT_EQ(LayerOfNote(tone, 60, 100), 2);
    player.ProgramChange(0, 3);  // beyond the stack: no change
    EXPECT_EQ(LayerOfNote(tone, 60, 100), 2);
}

TEST_F(Stack, KeySwitchKeysSelectAndOthersLeaveTheSelection)
{
    const int index = player.ToneCount();
    auto owned = std::make_unique<GigaTone>(index, 0, scratch.data());
    GigaTone& tone = *owned;
    tone.SetVoicePool(&pool);
    player.AddTone(std::move(owned));
    for (int i = 0; i < 3; ++i) tone.AddLayer(path_, 0);
    tone.SetSelectMode(GigaTone::kSelectKeySwitch);
    tone.SetKeySwitchLow(40);
    tone.LoadPass();
    EXPECT_EQ(tone.KeySwitchHigh(), 42);
    Start();
    Note(0, 41, 100);  // switches to layer 1, and plays there
    EXPECT_EQ(LayerOfNote(tone, 60, 100), 1);
    Note(0, 39, 100);  // below the range
    EXPECT_EQ(LayerOfNote(tone, 60, 100), 1);
}

TEST_F(Stack, RandomStaysInRangeAndRoundRobinKeepsTheFirstLayer)
{
    GigaTone& random = AddTone(path_, {0, 0, 0}, 0, GigaTone::kSelectRandom);
    Start();
    std::set<int> seen;
    for (int i = 0; i < 60; ++i) seen.insert(LayerOfNote(random, 60, 100));
    EXPECT_EQ(seen, (std::set<int> {0, 1, 2}));

    random.SetSelectMode(GigaTone::kSelectRoundRobin);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(LayerOfNote(random, 60, 100), 0);
}

TEST_F(Stack, PlayAllSendsTheNoteToEveryLayer)
{
    GigaTone& tone = AddTone(path_, {0, 0}, 0, GigaTone::kSelectNone);
    Start();
    Note(0, 60, 100);
    EXPECT_EQ(Voices(tone).size(), 2u);
    tone.Layer(1)->mute[1] = 1;
    Note(0, 61, 100);
    EXPECT_EQ(Voices(tone).size(), 3u) << "a muted layer starts nothing";
}

TEST_F(Stack, ASeventeenthLayerIsRefused)
{
    GigaTone tone(0, 0, scratch.data());
    for (int i = 0; i < 16; ++i) EXPECT_NE(tone.AddLayer(path_, 0), nullptr);
    EXPECT_EQ(tone.AddLayer(path_, 0), nullptr);
    EXPECT_EQ(tone.LayerCount(), 16);
}

TEST_F(Stack, AMissingFileKeepsTheLayerAndMarksTheTone)
{
    testsupport::RecordingView view;
    const int index = player.ToneCount();
    auto owned = std::make_unique<GigaTone>(index, 0, scratch.data());
    GigaTone& tone = *owned;
    player.AddTone(std::move(owned));
    tone.SetView(&view);
    tone.AddLayer(folder.File("missing.gig"), 0);
    tone.AddLayer(path_, 7);  // beyond the bank: removed, not a failure
    EXPECT_FALSE(tone.LoadPass());
    ASSERT_EQ(tone.LayerCount(), 1);
    EXPECT_EQ(tone.Layer(0)->state, GigaPart::kFileNotFound);
    EXPECT_EQ(tone.Status(), GigaTone::kLoadedWithFailure);
    EXPECT_EQ(tone.DisplayName(), "missing.gig");
    tone.SetView(nullptr);

    GigaTone beyond(1, 1, scratch.data());
    beyond.AddLayer(path_, 7);
    EXPECT_TRUE(beyond.LoadPass());
    EXPECT_EQ(beyond.LayerCount(), 0);
    EXPECT_EQ(beyond.Status(), GigaTone::kLoaded);
    EXPECT_EQ(beyond.DisplayName(), "No instrument");
}

TEST_F(Stack, NotEnoughMemoryIsReportedAndTheLayerRemoved)
{
    SampleBudget& budget = GigaPrefs::Instance().Budget();
    const auto limit = budget.Limit();
    const auto charged = budget.Total();
    budget.SetLimit(0);
    // A looped sample is held in memory whole: 2 MB that the budget cannot give.
    testsupport::GigFilePlan big;
    big.samples[0].frames = 1'000'000;
    big.samples[0].loop = true;
    big.samples[0].loopEnd = 999'999;
    const std::string bigPath = Write(big, "big.gig");
    testsupport::RecordingView view;
    GigaTone tone(0, 0, scratch.data());
    tone.SetView(&view);
    tone.AddLayer(bigPath, 0);
    EXPECT_TRUE(tone.LoadPass());
    budget.SetLimit(limit);
    EXPECT_EQ(budget.Total(), charged) << "a failed load keeps no charge";
    EXPECT_EQ(tone.LayerCount(), 0);
    EXPECT_EQ(tone.Status(), GigaTone::kLoaded);
    bool sawFive = false;
    for (const auto& note : view.Notes())
        sawFive |= note == std::make_pair(KyToneView::kStatusChanged, 5);
    EXPECT_TRUE(sawFive);
    tone.SetView(nullptr);
}

TEST_F(Stack, ClearingRestoresTheDefaultsButKeepsChannelBusAndSelectMode)
{
    GigaTone& tone = AddTone(path_, {0, 0}, 3, GigaTone::kSelectVelocity);
    tone.SetOutputBus(2);
    tone.SetVolume(30);
    tone.SetPan(10);
    tone.SetTune(-20);
    tone.Clear();
    EXPECT_EQ(tone.Status(), GigaTone::kLoadRequested);
    tone.LoadPass();
    EXPECT_EQ(tone.LayerCount(), 0);
    EXPECT_EQ(tone.Volume(), 90);
    EXPECT_EQ(tone.EffectiveVolume(), 90);
    EXPECT_EQ(tone.Pan(), 64);
    EXPECT_EQ(tone.Tune(), 0);
    EXPECT_EQ(tone.MidiChannel(), 3);
    EXPECT_EQ(tone.OutputBus(), 2);
    EXPECT_EQ(tone.SelectMode(), GigaTone::kSelectVelocity);
}

TEST_F(Stack, ALoadedLayerTakesTheProgramsKeysAndBendRange)
{
    GigaTone& tone = AddTone(Write(OneRegion({})), {0});
    const GigaPart& layer = *tone.Layer(0);
    EXPECT_EQ(layer.state, GigaPart::kLoaded);
    EXPECT_EQ(layer.keyLow, 36);
    EXPECT_EQ(layer.keyHigh, 96);
    EXPECT_EQ(layer.bendRange, 2);
    EXPECT_EQ(tone.LowestKey(), 36);
    EXPECT_EQ(tone.HighestKey(), 96);
    EXPECT_EQ(tone.Status(), GigaTone::kLoaded);
    EXPECT_EQ(tone.DisplayName(), "Instrument");
    EXPECT_FALSE(tone.IsModified()) << "loading is no change of the user's";
}

TEST_F(Stack, NoteHandlingAllocatesNothingOnTheAudioThread)
{
    GigaTone& tone = AddTone(Write(OneRegion({{testsupport::gigdim::kVelocity, 1}})), {0, 0});
    Start();
    Note(0, 60, 100);  // the first pass may touch lazily created runtime state
    Off(0, 60);
    int sounding = 0;
    testsupport::AllocationCounter counter;
    for (int i = 0; i < 20; ++i) {
        player.NoteOn(0, 40 + i, 50 + i, 0);
        player.ControlChange(0, 7, i, 0);
        player.PitchBend(0, 0, 64 + i, 0);
        Block();
        sounding += tone.Voices().Count();
        player.NoteOff(0, 40 + i, 0, 0);
        Block();
    }
    EXPECT_EQ(counter.Count(), 0u);
    EXPECT_GE(sounding, 20) << "the notes did start voices";
}

}  // namespace
}  // namespace tonetest
