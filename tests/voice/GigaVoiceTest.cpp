#include "engine/GigaVoice.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/GigaCrossfade.h"
#include "tests/voice/VoiceRig.h"

namespace {

using namespace voicetest;

constexpr double kSemitone = 1.059463094359;

// 441 Hz repeats every 100 frames: a loop over whole periods is seamless.
struct LoopedSine {
    explicit LoopedSine(int channels = 1) : memory(Sine(441.0, 4410, channels), channels)
    {
        PlainZone(zone, memory.sample);
        zone.loopEnabled = 1;
        zone.loopStart = 0;
        zone.loopEnd = 4399;
    }
    MemorySample memory;
    GigaZone zone;
};

// The gain a sustained voice applies to its source on the left channel.
float LeftGain(const GigaVoice& v)
{
    return v.VelocityGain() * v.AttenuationGain() * v.VolumeFactor() * v.LeftGain();
}

TEST(GigaVoiceStart, PanLawAndGains)
{
    Rig rig;
    MemorySample s(Constant(1000, 1000), 1);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.gain = 0.8f;

    GigaVoice* v = rig.Start(zone);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Pan(), 0);
    EXPECT_FLOAT_EQ(v->LeftGain(), 63.0f / 127.0f);
    EXPECT_FLOAT_EQ(v->RightGain(), 64.0f / 127.0f);
    // Velocity 127 on curve 1 without depth: the curve is about 1.
    EXPECT_NEAR(v->VelocityGain(), 0.9998f * 0.8f * 1.256f, 0.002f);
    EXPECT_FLOAT_EQ(v->VolumeFactor(), 127.0f * 127.0f / 20480.0f);
    EXPECT_FLOAT_EQ(v->AttenuationGain(), 1.0f);
    v->Kill();

    rig.tone.SetPan(0);
    rig.layer.volume = 64;
    v = rig.Start(zone);
    EXPECT_EQ(v->Pan(), -64);
    EXPECT_FLOAT_EQ(v->LeftGain(), 1.0f);
    EXPECT_FLOAT_EQ(v->RightGain(), 0.0f);
    EXPECT_FLOAT_EQ(v->VolumeFactor(), 64.0f * 64.0f / 20480.0f);  // 64 x 127 / 127
    v->Kill();

    rig.tone.SetPan(127);
    zone.pan = 127;
    v = rig.Start(zone);
    EXPECT_EQ(v->Pan(), 63);  // clamped
    v->Kill();

    // An attenuation controller without crossfade points fades over its whole range.
    zone.attenuationController = 1;
    rig.tone.SetController(1, 64);
    v = rig.Start(zone);
    EXPECT_NEAR(v->AttenuationGain(), GigaCrossfade::Rise(64.0f / 127.0f), 1e-6f);
    zone.attenuationThreshold = 100;  // low values are raised to the threshold
    v = rig.Start(zone);
    EXPECT_NEAR(v->AttenuationGain(), GigaCrossfade::Rise(100.0f / 127.0f), 1e-6f);
}

TEST(GigaVoicePitch, MeasuredFrequenciesFollowKeyAndTuning)
{
    struct Case {
        int key;
        int zoneFine, toneTune, layerTune;
        double semitones;
    };
    const Case cases[] = {
        {60, 0, 0, 0, 0.0},  {72, 0, 0, 0, 12.0},   {48, 0, 0, 0, -12.0},
        {67, 0, 0, 0, 7.0},  {60, 50, 25, 25, 1.0}, {60, 0, -30, 0, -0.3},
        {96, 0, 0, 0, 36.0}, {97, 0, 0, 0, 0.0},  // 37 above unity: the sample's own pitch
    };
    for (const Case& c : cases) {
        Rig rig;
        LoopedSine sine;
        sine.zone.fineTune = c.zoneFine;
        rig.tone.SetTune(c.toneTune);
        rig.layer.tune = c.layerTune;
        GigaVoice* v = rig.Start(sine.zone, c.key);
        const auto out = rig.Render(44100);
        EXPECT_NEAR(Semitones(Frequency(out) / 441.0), c.semitones, 0.01) << "key " << c.key;
        EXPECT_NEAR(v->PitchRatio(), std::pow(kSemitone, c.semitones), 1e-9);
    }
}

TEST(GigaVoicePitch, SampleRateIsConvertedAndUnpitchedZonesIgnoreTheKey)
{
    Rig rig;
    // 441 Hz recorded at 22.05 kHz: 50 frames a period.
    MemorySample s(Sine(441.0, 4410, 1, 0.5, 22050.0), 1, -1, 22050);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.loopEnabled = 1;
    zone.loopEnd = 4399;
    zone.pitchTrack = false;
    GigaVoice* v = rig.Start(zone, 80);
    EXPECT_DOUBLE_EQ(v->PitchRatio(), 0.5);
    EXPECT_NEAR(Frequency(rig.Render(44100)), 441.0, 0.05);
}

TEST(GigaVoicePitch, FullBendWithRangeTwoRaisesBy8191Of8192OfTwoSemitones)
{
    for (bool looped : {true, false}) {
        Rig rig;
        MemorySample s(Sine(441.0, 88200), 1);
        GigaZone zone;
        PlainZone(zone, s.sample);
        zone.loopEnabled = looped ? 1 : 0;
        zone.loopEnd = 4399;
        rig.layer.bendRange = 2;
        GigaVoice* v = rig.Start(zone);
        const auto before = rig.Render(22050);
        EXPECT_NEAR(Frequency(before), 441.0, 0.05);

        // The bend arrives mid-note: the voice switches to resampling without a jump.
        rig.tone.PitchBend(127, 127);
        const auto after = rig.Render(44100);
        const double expected = 2.0 * 8191.0 / 8192.0;
        EXPECT_NEAR(v->PitchRatio(), std::pow(kSemitone, expected), 1e-12);
        EXPECT_NEAR(Semitones(Frequency(after) / 441.0), expected, 0.005) << looped;
        const float slope = LeftGain(*v) * 0.5f * 2.0f * 3.1416f * 500.0f / 44100.0f;
        float jump = std::fabs(after[0] - before.back());
        for (std::size_t i = 1; i < 2048; ++i)
            jump = std::max(jump, std::fabs(after[i] - after[i - 1]));
        EXPECT_LT(jump, slope * 1.05f) << looped;
    }
}

TEST(GigaVoicePitch, HighRatiosOfStereoSamplesStayInsideTheScratchBuffer)
{
    Rig rig;
    // 100 Hz at 96 kHz, looped over whole periods; played 36 semitones up with a full bend of
    // an octave the ratio is about 35, near the 64 cap.
    MemorySample s(Sine(100.0, 96000, 2, 0.5, 96000.0), 2, -1, 96000);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.loopEnabled = 1;
    zone.loopEnd = 95999;
    rig.layer.bendRange = 12;
    rig.tone.PitchBend(127, 127);
    GigaVoice* v = rig.Start(zone, 96);
    EXPECT_GT(v->PitchRatio(), 30.0);
    ASSERT_EQ(rig.Block(8192), 1);
    EXPECT_EQ(v->GetState(), KyVoice::kPlaying);
    EXPECT_NEAR(Frequency(rig.Left(8192)), 100.0 * 8.0 * 2.0 * 8191.0 / 8192.0, 2.0);

    rig.layer.bendRange = 127;  // absurd: the ratio is capped
    v = rig.Start(zone, 127);
    EXPECT_EQ(v->PitchRatio(), GigaVoice::kMaxPitchRatio);
    rig.Block(4096);
    EXPECT_EQ(v->FramesPlayed(), 4096);
}

TEST(GigaVoiceRender, ShortBlocksSoundAndTheControlStepRunsOnAcrossBlocks)
{
    Rig rig;
    MemorySample s(Constant(16384, 20000), 1);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.eg1Attack = 1.0f;
    GigaVoice* v = rig.Start(zone);
    const float rate = 1.0f / static_cast<int>(0.69f * 44100.0f / 8.0f);
    // Four frames begin the first step: they sound at its gain.
    rig.Block(4);
    EXPECT_EQ(v->FramesPlayed(), 4);
    EXPECT_NEAR(v->Envelope().Level(), rate, 1e-7f);
    for (float x : rig.Left(4)) EXPECT_GT(x, 0.0f);

    // 4 frames finish that step, 96 make 12 more: the envelope has moved once per 8 frames.
    rig.Block(100);
    EXPECT_NEAR(v->Envelope().Level(), 13 * rate, 1e-6f);
    const auto out = rig.Left(100);
    EXPECT_FLOAT_EQ(out[0], out[3]);
    EXPECT_GT(out[4], out[3]);
    EXPECT_GT(out[92], out[91]);
    EXPECT_FLOAT_EQ(out[99], out[92]);
}

TEST(GigaVoiceRender, NoAttackStartsAtFullLevelAndBigBlocksMatchSmallOnes)
{
    Rig big, small;
    MemorySample s(Sine(300.0, 30000), 1);
    GigaZone zone;
    PlainZone(zone, s.sample);
    GigaVoice* v = big.Start(zone);
    small.Start(zone);
    ASSERT_EQ(big.Block(10000), 1);
    const auto whole = big.Left(10000);
    std::vector<float> pieces;
    for (int i = 0; i < 10; ++i) {
        small.Block(1000);
        const auto part = small.Left(1000);
        pieces.insert(pieces.end(), part.begin(), part.end());
    }
    for (std::size_t i = 0; i < whole.size(); ++i) ASSERT_EQ(whole[i], pieces[i]) << i;
    // Straight through at full level from the first frame.
    for (int i = 0; i < 10000; i += 97)
        ASSERT_NEAR(whole[i], LeftGain(*v) * s.Value(i, 0), 1e-6f) << i;
}

TEST(GigaVoiceRender, LoopedSamplePlaysOnAcrossItsLoop)
{
    Rig rig;
    LoopedSine sine;
    rig.Start(sine.zone, 64);  // resampled as well
    const auto out = rig.Render(3 * 44100);
    EXPECT_EQ(rig.tone.Voices().Count(), 1);
    EXPECT_NEAR(Semitones(Frequency(out) / 441.0), 4.0, 0.01);
    EXPECT_NEAR(Peak(out, 0, 4410), Peak(out, out.size() - 4410), 0.002f);

    Rig straight;
    LoopedSine unshifted;
    GigaVoice* v = straight.Start(unshifted.zone);
    const auto plain = straight.Render(3 * 44100, 1000);
    for (std::size_t i = 0; i < plain.size(); i += 173)
        ASSERT_NEAR(plain[i], LeftGain(*v) * unshifted.memory.Value(int(i % 4400), 0), 1e-6f);
}

TEST(GigaVoiceRender, NonLoopedSampleEndsAtItsEndAndTheVoiceReturns)
{
    for (int key : {60, 72}) {
        Rig rig;
        MemorySample s(Sine(441.0, 10000), 1);
        GigaZone zone;
        PlainZone(zone, s.sample);
        GigaVoice* v = rig.Start(zone, key);
        int blocks = 0, last = 0;
        while (rig.tone.Voices().Count() > 0 && blocks < 100) {
            rig.Block(512);
            last = v->FramesPlayed() - 512 * blocks++;
        }
        EXPECT_EQ(rig.pool.Count(), Rig::kVoices);
        EXPECT_EQ(v->GetState(), KyVoice::kEnded);
        // All frames but the last two (interpolation's look-ahead), at the pitch ratio.
        const int expected = key == 60 ? 9998 : 4999;
        EXPECT_NEAR(v->FramesPlayed(), expected, 1) << key;
        // The frames after the end, and the odd ones after the last full step, stay silent.
        const auto tail = rig.Left(512);
        EXPECT_NE(Peak(tail, 0, last / 8 * 8), 0.0f);
        EXPECT_EQ(Peak(tail, last / 8 * 8), 0.0f);
    }
}

TEST(GigaVoiceMix, ChannelOffsetPicksTheBusAndFallsBackToTheTones)
{
    Rig rig;
    MemorySample s(Sine(441.0, 20000, 2), 2);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.channelOffset = 4;  // two buses on
    rig.tone.SetOutputBus(1);
    GigaVoice* v = rig.Start(zone);
    std::fill_n(rig.buses.GetBus(3).left, 64, 9.0f);  // stale: must be cleared first
    rig.Block(64);
    EXPECT_TRUE(rig.buses.IsReady(3));
    EXPECT_FALSE(rig.buses.IsReady(1));
    const auto left = rig.Left(64, 3);
    const auto right = rig.Right(64, 3);
    const float g = v->VelocityGain() * v->VolumeFactor();
    for (int i = 0; i < 64; ++i) {
        ASSERT_NEAR(left[i], g * 63.0f / 127.0f * s.Value(i, 0), 1e-6f);
        ASSERT_NEAR(right[i], g * 64.0f / 127.0f * s.Value(i, 1), 1e-6f);
    }
    // A bus already written this block is added to.
    rig.buses.ClearReadyFlags();
    rig.buses.PrepareForMix(3, 64);
    rig.buses.GetBus(3).left[0] = 1.0f;
    rig.tone.MixVoices(&rig.buses, 64);
    EXPECT_NEAR(rig.Left(1, 3)[0], 1.0f + g * 63.0f / 127.0f * s.Value(64, 0), 1e-6f);

    zone.channelOffset = 12;  // bus 7 does not exist
    rig.Start(zone);
    rig.Block(64);
    EXPECT_TRUE(rig.buses.IsReady(1));
}

TEST(GigaVoiceMix, MutedToneAdvancesSilently)
{
    Rig rig;
    MemorySample s(Sine(441.0, 20000), 1);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.eg1Attack = 0.5f;
    GigaVoice* v = rig.Start(zone);
    rig.tone.SetMute(KyTone::kCurrentMute, 1);
    std::fill_n(rig.buses.GetBus(0).left, 512, 0.25f);
    rig.tone.MixVoices(&rig.buses, 512);
    EXPECT_EQ(rig.buses.GetBus(0).left[100], 0.25f);
    EXPECT_DOUBLE_EQ(v->Position(), 512.0);
    EXPECT_GT(v->Envelope().Level(), 0.0f);
}

TEST(GigaVoiceRender, KillFadesFastAndReleaseScaledVoicesAreSofter)
{
    Rig rig;
    MemorySample s(Constant(16384, 100000), 1);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.eg1Release = 5.0f;
    GigaVoice* v = rig.Start(zone);
    rig.Block(512);
    const float full = rig.Left(1)[0];
    v->Kill();
    const auto out = rig.Render(8192, 512);
    EXPECT_EQ(v->GetState(), KyVoice::kEnded);
    EXPECT_LT(v->FramesPlayed(), 512 + static_cast<int>(0.12 * 44100) + 512);
    // An exponential from the full level: one factor per 8-frame step.
    const float factor = std::log(0.001f) / (0.1f * 44100.0f / 8.0f + 1.0f) + 1.0f;
    EXPECT_NEAR(out[0], full * factor, 1e-5f);
    for (int i = 8; i < 2000; i += 8) ASSERT_NEAR(out[i] / out[i - 8], factor, 1e-4f) << i;

    // A note-off with no release time set still fades, over 0.03 x 0.55 s and its tail.
    zone.eg1Release = 0.0f;
    GigaVoice* released = rig.Start(zone);
    rig.Block(512);
    released->RequestRelease();
    rig.Render(4096, 512);
    EXPECT_EQ(released->GetState(), KyVoice::kEnded);
    EXPECT_LE(released->FramesPlayed(), 512 + static_cast<int>(0.0165 * 2.2 * 44100) + 8);
    EXPECT_GT(released->FramesPlayed(), 512 + static_cast<int>(0.0165 * 44100));

    GigaVoice* soft = rig.Start(zone);
    soft->ScaleVelocityGain(0.5f);
    rig.Block(64);
    EXPECT_NEAR(rig.Left(1)[0], full * 0.5f, 1e-6f);
}

TEST(GigaVoiceFilter, CutoffControllerJumpGlidesOverTheBlock)
{
    Rig rig;
    MemorySample s(Sine(5000.0, 44100), 1);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.filterEnabled = 1;
    zone.filterCutoffController = 74;
    GigaVoice* v = rig.Start(zone);
    ASSERT_TRUE(v->FilterUsed());
    rig.Block(512);
    EXPECT_EQ(Peak(rig.Left(512)), 0.0f);  // cutoff 0: closed

    rig.tone.SetController(74, 127);
    rig.Block(512);
    const auto out = rig.Left(512);
    EXPECT_FLOAT_EQ(v->Cutoff(), 1.0f);
    EXPECT_LT(Rms(out, 0, 64), Rms(out, 448, 512) / 3.0);
    EXPECT_LT(Rms(out, 128, 192), Rms(out, 448, 512));
}

TEST(GigaVoiceFilter, LayerSwitchForcesTheFilterWithItsCutoffOffset)
{
    Rig rig;
    MemorySample s(Sine(8000.0, 44100), 1);
    GigaZone zone;
    PlainZone(zone, s.sample);
    GigaVoice* open = rig.Start(zone);
    EXPECT_FALSE(open->FilterUsed());
    const auto unfiltered = rig.Render(4096);
    open->Kill();
    rig.Render(8192);

    rig.layer.filterSwitch = 1;
    rig.layer.filterOffsets[GigaPart::kCutoff] = 0.1f;
    GigaVoice* v = rig.Start(zone);
    EXPECT_TRUE(v->FilterUsed());
    EXPECT_FLOAT_EQ(v->Cutoff(), 0.1f);
    EXPECT_LT(Peak(rig.Render(4096), 2048), Peak(unfiltered, 2048) * 0.1f);
}

// Every way of cutting the same note into blocks gives the same sound, frame for frame: the
// control step runs on across blocks, nothing is skipped at a block's end, and the release
// begins at its own frame and ends the voice.
class BlockCuts : public ::testing::TestWithParam<std::vector<int>> {};

TEST_P(BlockCuts, AnyBlockLengthsRenderTheSameNote)
{
    MemorySample s(Sine(300.0, 44100, 2), 2);
    GigaZone zone;
    PlainZone(zone, s.sample);
    zone.loopEnabled = 1;
    zone.loopEnd = 44099;
    zone.eg1Attack = 0.05f;
    zone.eg1Release = 0.1f;
    zone.filterEnabled = 1;
    zone.filterCutoff = 0.4f;
    constexpr int kReleaseAt = 20000;
    constexpr int kTotal = 30000;
    const auto render = [&](const std::vector<int>& cuts) {
        Rig rig;
        rig.Start(zone);
        std::vector<float> out;
        for (int done = 0, i = 0; done < kTotal; ++i) {
            const int n = std::min(cuts[static_cast<std::size_t>(i) % cuts.size()], kTotal - done);
            if (done <= kReleaseAt && kReleaseAt < done + n)
                rig.tone.Voices().Head()->RequestRelease(kReleaseAt - done);
            const int voices = rig.Block(n);
            const auto left = rig.Left(n);
            out.insert(out.end(), left.begin(), voices > 0 ? left.end() : left.begin());
            if (voices == 0) out.resize(static_cast<std::size_t>(done + n), 0.0f);
            done += n;
        }
        EXPECT_EQ(rig.pool.Count(), Rig::kVoices);  // the release has ended the voice
        return out;
    };
    const auto reference = render({512});
    const auto cut = render(GetParam());
    ASSERT_EQ(cut.size(), reference.size());
    for (std::size_t i = 0; i < cut.size(); ++i) ASSERT_EQ(cut[i], reference[i]) << "frame " << i;
    EXPECT_GT(Peak(reference, kReleaseAt - 100, kReleaseAt), 0.1f);
}

INSTANTIATE_TEST_SUITE_P(Lengths, BlockCuts,
                         ::testing::Values(std::vector<int> {1}, std::vector<int> {7},
                                           std::vector<int> {100}, std::vector<int> {4100},
                                           std::vector<int> {8192},
                                           std::vector<int> {3, 4096, 13, 1, 700, 8}));

}  // namespace
