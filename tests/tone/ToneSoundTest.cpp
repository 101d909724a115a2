// From a generated .gig file to sound in the buses: a tone with real voices plays the notes it
// is sent at the right pitch, on its own bus.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/GigaVoice.h"
#include "tests/support/Signal.h"
#include "tests/tone/ToneFixture.h"

namespace tonetest {
namespace {

class ToneSound : public ToneFixture {
protected:
    // One looped second of a 441 Hz sine, unity note 60.
    std::string SineFile()
    {
        testsupport::GigFilePlan plan;
        auto& sample = plan.samples[0];
        sample.frames = 44100;
        sample.loop = true;
        sample.loopStart = 0;
        sample.loopEnd = 44099;
        for (int i = 0; i < sample.frames; ++i)
            sample.values.push_back(static_cast<std::int32_t>(
                16000.0 * std::sin(2.0 * std::numbers::pi * 441.0 * i / 44100.0)));
        return Write(plan, "sine.gig");
    }
    std::vector<float> Record(int bus, int blocks)
    {
        std::vector<float> out;
        for (int i = 0; i < blocks; ++i) {
            Block();
            const float* left = buses.GetBus(bus).left;
            out.insert(out.end(), left, left + kFrames);
        }
        return out;
    }

    KyVoicePool<GigaVoice> voices {256};  // the tones let go of them in TearDown
};

TEST_F(ToneSound, NotesSoundAtTheirPitchOnTheTonesBus)
{
    for (int i = 0; i < 256; ++i) pool.TakeFirst();  // real voices instead of markers
    while (KyVoice* voice = voices.Free().TakeFirst()) pool.Append(voice);
    GigaTone& tone = AddTone(SineFile(), {0}, 0);
    tone.SetOutputBus(3);
    Start();

    player.NoteOn(0, 60, 127, 0);
    const auto unison = Record(3, 40);
    EXPECT_NEAR(testsupport::Frequency(unison), 441.0, 1.0);
    EXPECT_GT(testsupport::Peak(unison), 0.05f);
    EXPECT_EQ(testsupport::Peak(Record(0, 2)), 0.0f) << "nothing on another bus";
    player.NoteOff(0, 60, 0, 0);
    for (int i = 0; i < 400 && !tone.Voices().Empty(); ++i) Block();
    EXPECT_TRUE(tone.Voices().Empty()) << "the release ended the voice";
    EXPECT_EQ(testsupport::Peak(Record(3, 2)), 0.0f);
    EXPECT_EQ(pool.Count(), 256);

    player.NoteOn(0, 72, 127, 0);
    EXPECT_NEAR(testsupport::Frequency(Record(3, 40)), 882.0, 2.0);
}

}  // namespace
}  // namespace tonetest
