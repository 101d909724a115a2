#include "dsp/VoiceRun.h"

#include <gtest/gtest.h>

#include <vector>

#include "DspTestData.h"
#include "dsp/Interpolate.h"

namespace {

using dsp::Position;

enum class Filter { kNone, kOpen, kClosed };

struct Result {
    std::vector<float> left, right;
    dsp::BiquadState state[2];
    Position position;
};

const dsp::BiquadCoefficients kCoefficients {-1.6f, 0.68f, 0.02f, 0.04f, 0.02f};

Result Render(bool fused, int channels, bool resample, Filter filter, int first, int frames,
              double ratio)
{
    const Position step = dsp::StepOf(ratio);
    const Position start = 0x7f3a1234u;  // a fraction into frame 0
    const int sourceFrames =
        resample ? static_cast<int>(dsp::FrameOf(start + static_cast<Position>(frames) * step)) + 2
                 : frames;
    static const auto source = dsptest::Noise(2 * 40000, 11);
    static const auto gains = dsptest::Noise(600, 12);
    EXPECT_LE(sourceFrames * channels, static_cast<int>(source.size()));
    Result r;
    r.left = dsptest::Noise(static_cast<std::size_t>(frames), 13);
    r.right = dsptest::Noise(static_cast<std::size_t>(frames), 14);
    r.state[0] = {0.2f, -0.1f, 0.3f, 0.25f};
    r.state[1] = {-0.2f, 0.1f, -0.3f, 0.05f};
    dsp::VoiceRun run;
    run.source = source.data();
    run.channels = channels;
    run.resample = resample;
    run.position = start;
    run.step = step;
    run.coefficients = filter == Filter::kNone ? nullptr : &kCoefficients;
    run.state = r.state;
    run.closed = filter == Filter::kClosed;
    run.gains = {gains.data(), first, 0.3f, 0.7f};
    run.left = r.left.data();
    run.right = r.right.data();
    run.frames = frames;
    r.position = fused ? dsp::RenderVoiceRun(run) : dsp::RenderVoiceRunReference(run);
    return r;
}

TEST(DspVoiceRun, MatchesTheReferenceKernelsBitForBit)
{
    for (int channels : {1, 2})
        for (bool resample : {false, true})
            for (Filter filter : {Filter::kNone, Filter::kOpen, Filter::kClosed})
                for (int first : {1, 3, 8})
                    for (int frames : {1, 4, 7, 8, 13, 512, 4096})
                        for (double ratio : {0.31, 1.0, 1.4983, 9.5}) {
                            if (!resample && ratio != 1.0) continue;
                            const Result a =
                                Render(true, channels, resample, filter, first, frames, ratio);
                            const Result b =
                                Render(false, channels, resample, filter, first, frames, ratio);
                            SCOPED_TRACE(::testing::Message()
                                         << channels << " ch, resample " << resample << ", filter "
                                         << static_cast<int>(filter) << ", first " << first
                                         << ", frames " << frames << ", ratio " << ratio);
                            ASSERT_EQ(a.left, b.left);
                            ASSERT_EQ(a.right, b.right);
                            ASSERT_EQ(a.position, b.position);
                            for (int c = 0; c < channels; ++c) {
                                EXPECT_EQ(a.state[c].x1, b.state[c].x1);
                                EXPECT_EQ(a.state[c].x2, b.state[c].x2);
                                EXPECT_EQ(a.state[c].y1, b.state[c].y1);
                                EXPECT_EQ(a.state[c].y2, b.state[c].y2);
                            }
                        }
}

TEST(DspVoiceRun, TheFusedPassEqualsTheFastKernelsInARow)
{
    for (int channels : {1, 2}) {
        const int frames = 300;
        const auto source = dsptest::Noise(static_cast<std::size_t>(2 * 1000), 21);
        const auto gains = dsptest::Noise(40, 22);
        const Position step = dsp::StepOf(1.77);
        std::vector<float> l1(frames), r1(frames), l2(frames), r2(frames),
            x(static_cast<std::size_t>(frames * channels));
        dsp::BiquadState s1[2], s2[2];
        dsp::VoiceRun run;
        run.source = source.data();
        run.channels = channels;
        run.resample = true;
        run.step = step;
        run.coefficients = &kCoefficients;
        run.state = s1;
        run.gains = {gains.data(), 5, 0.5f, 0.25f};
        run.left = l1.data();
        run.right = r1.data();
        run.frames = frames;
        dsp::RenderVoiceRun(run);
        dsp::InterpolateFloat(source.data(), channels, 0, step, x.data(), frames);
        dsp::BiquadRun(kCoefficients, s2, x.data(), frames, channels);
        dsp::MixSteps(x.data(), channels, run.gains, l2.data(), r2.data(), frames);
        EXPECT_EQ(l1, l2);
        EXPECT_EQ(r1, r2);
    }
}

TEST(DspVoiceRun, StraightMonoFeedsBothSidesWithPanAndStepGain)
{
    const std::vector<float> source(16, 0.5f);
    const float gains[] = {1.0f, 2.0f};
    std::vector<float> l(16), r(16);
    dsp::VoiceRun run;
    run.source = source.data();
    run.gains = {gains, 8, 0.25f, 1.0f};
    run.left = l.data();
    run.right = r.data();
    run.frames = 16;
    dsp::RenderVoiceRun(run);
    EXPECT_EQ(l[0], 0.125f);
    EXPECT_EQ(l[15], 0.25f);
    EXPECT_EQ(r[7], 0.5f);
    EXPECT_EQ(r[8], 1.0f);
}

}  // namespace
