#include "dsp/LowPass.h"

#include <gtest/gtest.h>

#include <vector>

#include "DspTestData.h"

namespace {

// A low cutoff (poles near the unit circle) and a wide one.
const dsp::BiquadCoefficients kNarrow {-1.96f, 0.9608f, 2.5e-4f, 5e-4f, 2.5e-4f};
const dsp::BiquadCoefficients kWide {-0.4f, 0.2f, 0.2f, 0.4f, 0.2f};

TEST(DspLowPass, MatchesTheReferenceBitForBitMonoAndStereo)
{
    for (const auto& k : {kNarrow, kWide}) {
        for (int channels : {1, 2}) {
            for (int frames : {0, 1, 3, 8, 512}) {
                auto fast = dsptest::Noise(static_cast<std::size_t>(frames * channels));
                auto ref = fast;
                dsp::BiquadState sf[2] = {{0.1f, -0.2f, 0.3f, 0.05f}, {-0.3f, 0.2f, 0.1f, 0.0f}};
                dsp::BiquadState sr[2] = {sf[0], sf[1]};
                dsp::BiquadRun(k, sf, fast.data(), frames, channels);
                dsp::BiquadRunReference(k, sr, ref.data(), frames, channels);
                ASSERT_EQ(fast, ref) << channels << " channels, " << frames << " frames";
                for (int c = 0; c < channels; ++c) {
                    EXPECT_EQ(sf[c].x1, sr[c].x1);
                    EXPECT_EQ(sf[c].x2, sr[c].x2);
                    EXPECT_EQ(sf[c].y1, sr[c].y1);
                    EXPECT_EQ(sf[c].y2, sr[c].y2);
                }
            }
        }
    }
}

TEST(DspLowPass, RunsSplitAnywhereGiveTheSameSamples)
{
    auto whole = dsptest::Noise(2 * 1000);
    auto pieces = whole;
    dsp::BiquadState a[2], b[2];
    dsp::BiquadRun(kNarrow, a, whole.data(), 1000, 2);
    int done = 0;
    for (int n : {1, 7, 100, 3, 889}) {
        dsp::BiquadRun(kNarrow, b, pieces.data() + 2 * done, n, 2);
        done += n;
    }
    EXPECT_EQ(whole, pieces);
}

TEST(DspLowPass, TheMemoryForgetsTinyValues)
{
    dsp::BiquadState s[1] = {{1e-20f, -1e-16f, 1e-14f, 0.5f}};
    float x = 0.0f;
    dsp::BiquadRun(kWide, s, &x, 0, 1);
    EXPECT_EQ(s[0].x1, 0.0f);
    EXPECT_EQ(s[0].x2, 0.0f);
    EXPECT_EQ(s[0].y1, 1e-14f);
    EXPECT_EQ(s[0].y2, 0.5f);
}

}  // namespace
