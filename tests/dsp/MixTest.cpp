#include "dsp/Mix.h"

#include <gtest/gtest.h>

#include <vector>

#include "DspTestData.h"

namespace {

TEST(DspMix, StepGainsMatchTheReferenceBitForBit)
{
    const auto gains = dsptest::Noise(80, 7);
    for (int channels : {1, 2}) {
        for (int first = 1; first <= 8; ++first) {
            for (int frames : {0, 1, 3, 8, 9, 100, 511}) {
                const auto x = dsptest::Noise(static_cast<std::size_t>(frames * channels), 3);
                auto l1 = dsptest::Noise(static_cast<std::size_t>(frames), 4),
                     r1 = dsptest::Noise(l1.size(), 5);
                auto l2 = l1, r2 = r1;
                const dsp::StepGains g {gains.data(), first, 0.49606299f, 0.50393701f};
                dsp::MixSteps(x.data(), channels, g, l1.data(), r1.data(), frames);
                dsp::MixStepsReference(x.data(), channels, g, l2.data(), r2.data(), frames);
                ASSERT_EQ(l1, l2) << channels << " " << first << " " << frames;
                ASSERT_EQ(r1, r2) << channels << " " << first << " " << frames;
            }
        }
    }
}

TEST(DspMix, EachStepHasItsGain)
{
    const std::vector<float> x(20, 1.0f);
    const float gains[] = {1.0f, 2.0f, 3.0f, 4.0f};
    std::vector<float> l(10), r(10);
    dsp::MixSteps(x.data(), 2, {gains, 3, 1.0f, 0.5f}, l.data(), r.data(), 10);
    EXPECT_EQ(l, (std::vector<float> {1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(r, (std::vector<float> {0.5f, 0.5f, 0.5f, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(DspMix, GainRampMatchesTheReference)
{
    for (int channels : {1, 2}) {
        for (int frames : {0, 1, 2, 5, 64, 513}) {
            auto a = dsptest::Noise(static_cast<std::size_t>(frames * channels));
            auto b = a;
            dsp::ApplyGainRamp(a.data(), channels, frames, 0.25f, 1.5f);
            dsp::ApplyGainRampReference(b.data(), channels, frames, 0.25f, 1.5f);
            ASSERT_EQ(a, b) << channels << " " << frames;
        }
    }
    std::vector<float> ones(4, 1.0f);
    dsp::ApplyGainRamp(ones.data(), 1, 4, 0.0f, 1.0f);
    EXPECT_EQ(ones, (std::vector<float> {0.0f, 0.25f, 0.5f, 0.75f}));
}

}  // namespace
