#include "engine/GigaLowPass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <vector>

#include "engine/GigaCrossfade.h"
#include "platform/DenormalGuard.h"

namespace {

// Steady-state amplitude of a unit sine at `hz` (44.1 kHz) through a fresh filter.
double Response(float cutoff, double hz)
{
    GigaLowPass f;
    f.SetCutoff(cutoff);
    std::vector<float> x(8192);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * i / 44100.0));
    f.Process(x.data(), static_cast<int>(x.size()), 1);
    float peak = 0.0f;
    for (std::size_t i = 4096; i < x.size(); ++i) peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

TEST(GigaLowPass, CoefficientsFollowTheFormula)
{
    const auto k = GigaLowPass::Compute(0.5f);
    const float a = 0.55f * std::pow(0.5f, 1.5f) + 0.005f;
    EXPECT_FLOAT_EQ(k.a1, 4 * a - 2);
    EXPECT_FLOAT_EQ(k.a2, 0.8284f * std::pow(1 - 2 * a, 2.4f) + 0.1716f);
    EXPECT_FLOAT_EQ(k.b0, std::pow(a, 1.8f));
    EXPECT_FLOAT_EQ(k.b1, 2 * k.b0);
    EXPECT_FLOAT_EQ(k.b2, k.b0);
    // a is capped at 0.6, above the midpoint the other branch of c is taken.
    const auto top = GigaLowPass::Compute(4.0f);
    EXPECT_FLOAT_EQ(top.a1, 4 * 0.6f - 2);
    EXPECT_FLOAT_EQ(top.a2, 0.8284f * std::pow(0.2f, 2.4f) + 0.1716f);

    GigaLowPass f;
    ASSERT_TRUE(f.SetCutoff(0.5f));
    EXPECT_FALSE(f.SetCutoff(0.0004f));
    EXPECT_FLOAT_EQ(f.Get().b0, k.b0);
}

// The formula's gain at DC: near 1, with a gentle lift at low cutoffs.
double DcGain(float cutoff)
{
    const auto k = GigaLowPass::Compute(cutoff);
    return (k.b0 + k.b1 + k.b2) / (1.0 + k.a1 + k.a2);
}

TEST(GigaLowPass, PassesLowAndCutsHighFrequenciesMoreAtLowCutoffs)
{
    for (float cutoff : {0.1f, 0.4f, 1.0f}) {
        EXPECT_NEAR(Response(cutoff, 30.0), DcGain(cutoff), 0.02) << cutoff;
        EXPECT_GT(DcGain(cutoff), 0.95);
        EXPECT_LT(DcGain(cutoff), 1.35);
    }
    EXPECT_LT(Response(0.1f, 8000.0), 0.05);
    EXPECT_LT(Response(0.1f, 8000.0), Response(0.4f, 8000.0));
    EXPECT_LT(Response(0.4f, 8000.0), Response(1.0f, 8000.0));
}

// The frequency in Hz at which the filter's response first falls 3 dB below its gain at DC.
double CornerHz(float cutoff, double rate)
{
    const auto k = GigaLowPass::Compute(cutoff, static_cast<float>(rate));
    const auto gain = [&](double hz) {
        const std::complex<double> z = std::polar(1.0, 2.0 * std::numbers::pi * hz / rate);
        const std::complex<double> zi = 1.0 / z;
        const double b0 = k.b0, b1 = k.b1, b2 = k.b2, a1 = k.a1, a2 = k.a2;
        return std::abs((b0 + b1 * zi + b2 * zi * zi) / (1.0 + a1 * zi + a2 * zi * zi));
    };
    const double target = gain(0.0) / std::sqrt(2.0);
    double hz = 1.0;
    while (hz < rate / 2 && gain(hz) > target) hz *= 1.001;
    return hz;
}

TEST(GigaLowPass, TheCornerStaysInHzAtEveryHostRate)
{
    for (float cutoff : {0.05f, 0.2f, 0.5f, 0.8f, 1.0f}) {
        // The sound at 44.1 kHz is the formula's own.
        const auto plain = GigaLowPass::Compute(cutoff);
        const auto same = GigaLowPass::Compute(cutoff, 44100.0f);
        EXPECT_EQ(plain.a1, same.a1);
        EXPECT_EQ(plain.b0, same.b0);
        const double corner = CornerHz(cutoff, 44100.0);
        for (double rate : {48000.0, 88200.0, 96000.0, 192000.0})
            EXPECT_NEAR(CornerHz(cutoff, rate) / corner, 1.0, 0.01)
                << "cutoff " << cutoff << " at " << rate;
    }
    // Where 44.1 kHz's corner lies above a lower rate's Nyquist frequency, the filter opens
    // wide but stays stable.
    const auto low = GigaLowPass::Compute(1.0f, 22050.0f);
    EXPECT_LT(low.a2, 1.0f);
    EXPECT_LT(std::fabs(low.a1), 1.0f + low.a2);
}

TEST(GigaLowPass, ItsMemoryNeverHoldsSubnormalValues)
{
    // A loud note, then silence through a nearly closed filter: the state dies away and must
    // reach zero rather than linger among the subnormal numbers.
    GigaLowPass f;
    f.SetCutoff(0.001f);
    std::vector<float> x(4096, 0.9f);
    f.Process(x.data(), 4096, 1);
    long subnormal = 0;
    for (int block = 0; block < 400; ++block) {
        std::fill(x.begin(), x.end(), 0.0f);
        f.Process(x.data(), 4096, 1);
        for (float v : x) subnormal += std::fpclassify(v) == FP_SUBNORMAL;
    }
    EXPECT_EQ(subnormal, 0);
    EXPECT_EQ(x.back(), 0.0f);
}

TEST(DenormalGuard, FlushesWhileInScopeAndGivesTheCallersModeBack)
{
    volatile float tiny = std::numeric_limits<float>::min();
    const auto halved = [&] { return tiny / 2.0f; };
    ASSERT_NE(halved(), 0.0f);  // the default mode keeps subnormals
    {
        const platform::DenormalGuard guard;
        EXPECT_EQ(halved(), 0.0f);
    }
    EXPECT_NE(halved(), 0.0f);
}

TEST(GigaCrossfade, CurvesAreEqualPowerAndGainFollowsThePoints)
{
    EXPECT_NEAR(GigaCrossfade::Fall(0.0f), 1.0f, 0.001f);
    EXPECT_NEAR(GigaCrossfade::Fall(1.0f), 0.0f, 0.001f);
    for (float x = 0.0f; x <= 1.0f; x += 0.05f) {
        EXPECT_NEAR(GigaCrossfade::Fall(x), std::cos(x * std::numbers::pi_v<float> / 2), 0.002f);
        const float sum = GigaCrossfade::Fall(x) * GigaCrossfade::Fall(x) +
                          GigaCrossfade::Rise(x) * GigaCrossfade::Rise(x);
        EXPECT_NEAR(sum, 1.0f, 0.004f);
    }
    const GigaCrossfade::Points points {20, 40, 80, 100};
    EXPECT_EQ(GigaCrossfade::Gain(10, points, false), 0.0f);
    EXPECT_NEAR(GigaCrossfade::Gain(30, points, false), GigaCrossfade::Rise(0.5f), 1e-6f);
    EXPECT_EQ(GigaCrossfade::Gain(60, points, false), 1.0f);
    EXPECT_NEAR(GigaCrossfade::Gain(95, points, false), GigaCrossfade::Fall(0.75f), 1e-6f);
    EXPECT_EQ(GigaCrossfade::Gain(100, points, false), 0.0f);
    // Empty ranges never divide by zero.
    EXPECT_EQ(GigaCrossfade::Gain(20, {20, 20, 50, 50}, false), 1.0f);
    // Without points the whole controller range fades, in or (inverted) out.
    EXPECT_NEAR(GigaCrossfade::Gain(127, {}, false), 1.0f, 0.001f);
    EXPECT_NEAR(GigaCrossfade::Gain(0, {}, false), 0.0f, 0.001f);
    EXPECT_NEAR(GigaCrossfade::Gain(0, {}, true), 1.0f, 0.001f);
}

}  // namespace
