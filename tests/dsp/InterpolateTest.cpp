#include "dsp/Interpolate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "DspTestData.h"
#include "dsp/Convert.h"

namespace {

using dsp::Position;

// Pitch ratios: down, unity, odd, up a lot.
const double kRatios[] = {0.2371, 1.0, 1.4983070768766815, 7.93};

int SourceFrames(Position start, Position step, int frames)
{
    return static_cast<int>(dsp::FrameOf(start + static_cast<Position>(frames) * step)) + 2;
}

TEST(DspInterpolate, FloatMatchesTheReferenceBitForBit)
{
    for (int channels : {1, 2}) {
        for (double ratio : kRatios) {
            for (int frames : {0, 1, 5, 512}) {
                const Position step = dsp::StepOf(ratio);
                const Position start = dsp::PositionOfFrame(3) + 0x9e3779b9u;
                const auto src = dsptest::Noise(
                    static_cast<std::size_t>(SourceFrames(start, step, frames) * channels));
                std::vector<float> fast(static_cast<std::size_t>(frames * channels)), ref = fast;
                const Position a =
                    dsp::InterpolateFloat(src.data(), channels, start, step, fast.data(), frames);
                const Position b = dsp::InterpolateFloatReference(src.data(), channels, start, step,
                                                                  ref.data(), frames);
                EXPECT_EQ(a, b);
                EXPECT_EQ(a, start + static_cast<Position>(frames) * step);
                ASSERT_EQ(fast, ref) << channels << " " << ratio << " " << frames;
            }
        }
    }
}

TEST(DspInterpolate, FloatIsWithinRoundingOfTheExactLine)
{
    const Position step = dsp::StepOf(1.37);
    const auto src = dsptest::Noise(800);
    std::vector<float> out(500);
    dsp::InterpolateFloat(src.data(), 1, 0, step, out.data(), 500);
    for (int j = 0; j < 500; ++j) {
        const Position p = static_cast<Position>(j) * step;
        const auto k = static_cast<std::size_t>(dsp::FrameOf(p));
        const double w = static_cast<double>(p & 0xffffffffu) / 4294967296.0;
        const double exact = src[k] + w * (static_cast<double>(src[k + 1]) - src[k]);
        ASSERT_NEAR(out[static_cast<std::size_t>(j)], exact, 1e-6) << j;
    }
}

TEST(DspInterpolate, IntegerSourcesMatchTheReferenceAndTheConvertedFloats)
{
    for (int channels : {1, 2}) {
        for (double ratio : kRatios) {
            const int frames = 333;
            const Position step = dsp::StepOf(ratio);
            const Position start = dsp::PositionOfFrame(1) + 12345;
            const int n = SourceFrames(start, step, frames) * channels;
            const auto s16 = dsptest::Noise16(static_cast<std::size_t>(n));
            const auto s24 = dsptest::Noise24(static_cast<std::size_t>(n));
            std::vector<float> f16(static_cast<std::size_t>(n)), f24(f16.size());
            dsp::ConvertInt16Reference(s16.data(), f16.data(), n);
            dsp::ConvertInt24Reference(s24.data(), f24.data(), n);
            std::vector<float> fast(static_cast<std::size_t>(frames * channels)), ref = fast,
                                                                                  viaFloat = fast;
            dsp::InterpolateInt16(s16.data(), channels, start, step, fast.data(), frames);
            dsp::InterpolateInt16Reference(s16.data(), channels, start, step, ref.data(), frames);
            dsp::InterpolateFloatReference(f16.data(), channels, start, step, viaFloat.data(),
                                           frames);
            EXPECT_EQ(fast, ref) << "16-bit " << channels << " " << ratio;
            EXPECT_EQ(fast, viaFloat) << "16-bit " << channels << " " << ratio;
            dsp::InterpolateInt24(s24.data(), channels, start, step, fast.data(), frames);
            dsp::InterpolateInt24Reference(s24.data(), channels, start, step, ref.data(), frames);
            dsp::InterpolateFloatReference(f24.data(), channels, start, step, viaFloat.data(),
                                           frames);
            EXPECT_EQ(fast, ref) << "24-bit " << channels << " " << ratio;
            EXPECT_EQ(fast, viaFloat) << "24-bit " << channels << " " << ratio;
        }
    }
}

TEST(DspInterpolate, LoopedMatchesTheReferenceAcrossTheLoopsEnd)
{
    struct Case {
        int start, end;
        double ratio;
    };
    const Case cases[] = {{10, 200, 1.4983}, {0, 0, 0.7},         {5, 6, 3.3},
                          {3, 40, 63.9},     {100, 1099, 0.0625}, {0, 99, 1.0}};
    const auto src = dsptest::Noise16(2 * 1200);
    for (int channels : {1, 2}) {
        for (const Case& c : cases) {
            const dsp::Loop loop {c.start, c.end};
            const Position step = dsp::StepOf(c.ratio);
            Position fastPos = dsp::PositionOfFrame(c.end) - step / 3;
            if (fastPos < dsp::PositionOfFrame(c.start)) fastPos = dsp::PositionOfFrame(c.start);
            Position refPos = fastPos;
            // Several pieces in a row: the position carries over exactly.
            for (int frames : {1, 77, 512, 8}) {
                std::vector<float> fast(static_cast<std::size_t>(frames * channels)), ref = fast;
                fastPos = dsp::InterpolateLoopedInt16(src.data(), channels, loop, fastPos, step,
                                                      fast.data(), frames);
                refPos = dsp::InterpolateLoopedInt16Reference(src.data(), channels, loop, refPos,
                                                              step, ref.data(), frames);
                ASSERT_EQ(fastPos, refPos) << c.start << ".." << c.end << " x" << c.ratio;
                ASSERT_EQ(fast, ref)
                    << c.start << ".." << c.end << " x" << c.ratio << " ch " << channels;
                EXPECT_LT(fastPos, dsp::PositionOfFrame(c.end + 1));
                EXPECT_GE(fastPos, dsp::PositionOfFrame(c.start));
            }
        }
    }
}

TEST(DspInterpolate, FixedPointPositionsDoNotDriftOverHoursOfLooping)
{
    // Three hours at 44.1 kHz through a 1000-frame loop at an odd ratio: the position is
    // exactly start + n x step modulo the loop, as integer arithmetic says.
    const dsp::Loop loop {0, 999};
    const Position step = dsp::StepOf(1.0594630943592953);
    const unsigned long long frames = 3ull * 3600 * 44100;
    Position p = 0;
    const int block = 4096;
    std::vector<float> out(block);
    const auto src = dsptest::Noise16(1000);
    unsigned long long done = 0;
    // Render the first and last blocks; jump over the middle by the same arithmetic.
    p = dsp::InterpolateLoopedInt16(src.data(), 1, loop, p, step, out.data(), block);
    done += block;
    const Position length = dsp::PositionOfFrame(1000);
    const unsigned __int128 total = static_cast<unsigned __int128>(frames) * step;
    const Position expected = static_cast<Position>(total % length);
    const unsigned long long skip = frames - done - block;
    p = static_cast<Position>(
        (static_cast<unsigned __int128>(p) + static_cast<unsigned __int128>(skip) * step) % length);
    p = dsp::InterpolateLoopedInt16(src.data(), 1, loop, p, step, out.data(), block);
    EXPECT_EQ(p, expected);
}

}  // namespace
