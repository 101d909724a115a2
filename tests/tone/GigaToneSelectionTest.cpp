// Which zones a note reaches: the dimension walk over real generated files.
#include <gtest/gtest.h>

#include <set>

#include "tests/tone/ToneFixture.h"

namespace tonetest {
namespace {

using testsupport::GigDimensionPlan;
using testsupport::GigDimensionRegionPlan;
namespace gigdim = testsupport::gigdim;

class Selection : public ToneFixture {};

TEST_F(Selection, TwoVelocitySplitsMeetAt64)
{
    GigaTone& tone = AddTone(Write(OneRegion({{gigdim::kVelocity, 1}})), {0});
    Start();
    EXPECT_EQ(ZoneFor(tone, 0, 60, 1), 0);
    EXPECT_EQ(ZoneFor(tone, 0, 60, 63), 0);
    EXPECT_EQ(ZoneFor(tone, 0, 60, 64), 1);
    EXPECT_EQ(ZoneFor(tone, 0, 60, 127), 1);
    EXPECT_EQ(ZoneFor(tone, 0, 20, 100), -1) << "no region covers key 20";
}

TEST_F(Selection, CustomVelocityUpperLimitsMoveTheSplit)
{
    GigDimensionRegionPlan soft, loud;
    soft.sample = loud.sample = 0;
    soft.velocityUpperLimit = 20;
    loud.velocityUpperLimit = 127;
    GigaTone& tone = AddTone(Write(OneRegion({{gigdim::kVelocity, 1}}, {soft, loud})), {0});
    Start();
    EXPECT_EQ(ZoneFor(tone, 0, 60, 20), 0);
    EXPECT_EQ(ZoneFor(tone, 0, 60, 21), 1);
}

TEST_F(Selection, RoundRobinTakesTurnsAcrossTonesPlayingTheSameRegion)
{
    const std::string path = Write(OneRegion({{gigdim::kRoundRobin, 2}}));
    GigaTone& first = AddTone(path, {0}, 0);
    GigaTone& second = AddTone(path, {0}, 1);
    Start();
    ASSERT_EQ(first.Layer(0)->program, second.Layer(0)->program) << "one loaded program, shared";
    EXPECT_EQ(ZoneFor(first, 0, 60, 100), 0);
    EXPECT_EQ(ZoneFor(second, 1, 60, 100), 1);
    EXPECT_EQ(ZoneFor(first, 0, 60, 100), 2);
    EXPECT_EQ(ZoneFor(first, 0, 60, 100), 3);
    EXPECT_EQ(ZoneFor(second, 1, 60, 100), 0);
}

TEST_F(Selection, AKeySwitchOutsideTheKeyRangeSwitchesWithoutSounding)
{
    auto plan = OneRegion({{gigdim::kKeyboard, 2}});
    plan.instruments[0].keySwitchLow = 24;
    plan.instruments[0].keySwitchHigh = 27;
    GigaTone& tone = AddTone(Write(plan), {0});
    Start();
    const int expected[] = {0, 32, 64, 96};
    for (int i = 0; i < 4; ++i) {
        Note(0, 24 + i, 100);
        EXPECT_TRUE(Voices(tone).empty()) << "key switch " << 24 + i << " sounds nothing";
        EXPECT_EQ(tone.ControllerValue(133), expected[i]);
        EXPECT_EQ(ZoneFor(tone, 0, 60, 100), i);
    }
}

TEST_F(Selection, ALayerDimensionStartsOneVoicePerLayerNode)
{
    GigaTone& tone = AddTone(Write(OneRegion({{gigdim::kLayer, 1}, {gigdim::kVelocity, 1}})), {0});
    Start();
    Note(0, 60, 100);
    const auto voices = Voices(tone);
    ASSERT_EQ(voices.size(), 2u);
    // Zone index: layer digit is the least significant part; velocity 100 picks split 1.
    EXPECT_EQ(ZoneOf(tone, voices[0], 60), 0 + 2 * 1);
    EXPECT_EQ(ZoneOf(tone, voices[1], 60), 1 + 2 * 1);
}

// A region with a release-trigger dimension: zone 0 plays at note-on, zone 1 at note-off.
class Release : public ToneFixture {
protected:
    GigaTone& Make(int decay)
    {
        GigDimensionRegionPlan attack, release;
        attack.sample = release.sample = 0;
        release.ewaBytes[128] = static_cast<std::uint8_t>(decay);
        // Banks are shared by path until the loader's next pass: one file per decay.
        const std::string name = "release" + std::to_string(decay) + ".gig";
        return AddTone(Write(OneRegion({{gigdim::kReleaseTrigger, 1}}, {attack, release}), name),
                       {0});
    }
    static std::vector<MarkerVoice*> ReleaseVoices(GigaTone& tone)
    {
        std::vector<MarkerVoice*> found;
        for (MarkerVoice* v : Voices(tone))
            if (!v->Region()) found.push_back(v);
        return found;
    }
};

TEST_F(Release, ANoteOffStartsTheReleaseZoneWithAGainThatFallsWithTheNoteLength)
{
    GigaTone& tone = Make(0);
    Start();
    Note(0, 60, 100);  // plays one block of 441 frames
    ASSERT_EQ(Voices(tone).size(), 1u);
    EXPECT_EQ(ZoneOf(tone, Voices(tone)[0], 60), 0);
    Off(0, 60);
    const auto released = ReleaseVoices(tone);
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(ZoneOf(tone, released[0], 60), 1);
    EXPECT_NEAR(released[0]->gain, 1.0f - 9.0f * (441.0f / 44100.0f) * 0.125f, 1e-5f);
    Off(0, 60);
    EXPECT_EQ(ReleaseVoices(tone).size(), 1u) << "release voices ignore note-offs";
}

TEST_F(Release, ALongNoteDropsItsReleaseVoiceAndDecayNineNeverFades)
{
    GigaTone& fading = Make(0);
    Start();
    Note(0, 60, 100);
    for (int i = 0; i < 90; ++i) Block();  // 0.91 s
    Off(0, 60);
    EXPECT_TRUE(ReleaseVoices(fading).empty()) << "too quiet to be worth a voice";

    player.RemoveTones();
    GigaTone& steady = Make(9);
    Start();
    Note(0, 60, 100);
    for (int i = 0; i < 300; ++i) Block();
    Off(0, 60);
    ASSERT_EQ(ReleaseVoices(steady).size(), 1u);
    EXPECT_FLOAT_EQ(ReleaseVoices(steady)[0]->gain, 1.0f);
}

TEST_F(Release, OncePerRegionAndNotWithThePedalDown)
{
    GigaTone& tone = Make(9);
    Start();
    player.NoteOn(0, 60, 100, 0);
    player.NoteOn(0, 60, 90, 0);  // two voices of the same region and key
    Block();
    Off(0, 60);
    EXPECT_EQ(ReleaseVoices(tone).size(), 1u) << "two voices of the region, one release voice";

    player.ControlChange(0, 64, 127, 0);
    Note(0, 62, 100);
    const std::size_t before = ReleaseVoices(tone).size();
    Off(0, 62);
    EXPECT_EQ(ReleaseVoices(tone).size(), before) << "the pedal holds the note: no release sound";
    for (MarkerVoice* v : Voices(tone))
        if (v->Key() == 62) {
            EXPECT_EQ(v->GetState(), KyVoice::kHeld);
        }
}

TEST_F(Selection, SelfMaskKillsTheSameKeyOfTheSameLayerOnlyWithThePedalUp)
{
    GigDimensionRegionPlan masked;
    masked.sample = 0;
    masked.ewaBytes[110] = 1;
    const std::string path = Write(OneRegion({}, {masked}));
    GigaTone& tone = AddTone(path, {0, 0});  // two layers of the same program
    Start();
    Note(0, 60, 100);
    const auto first = Voices(tone);
    ASSERT_EQ(first.size(), 2u);
    Note(0, 60, 100);
    EXPECT_TRUE(first[0]->killed);
    EXPECT_TRUE(first[1]->killed);
    const auto second = Voices(tone);
    ASSERT_EQ(second.size(), 2u) << "one new voice per layer, the killed ones gone";
    Note(0, 61, 100);
    for (MarkerVoice* v : second) EXPECT_EQ(v->GetState(), KyVoice::kPlaying) << "other keys stay";

    player.ControlChange(0, 64, 127, 0);
    Note(0, 61, 100);
    int sounding61 = 0;
    for (MarkerVoice* v : Voices(tone))
        sounding61 += v->Key() == 61 && v->GetState() == KyVoice::kPlaying;
    EXPECT_EQ(sounding61, 4) << "with the pedal down nothing is masked";
}

}  // namespace
}  // namespace tonetest
