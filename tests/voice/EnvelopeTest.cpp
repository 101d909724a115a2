#include "engine/GigaEnvelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr float kRate = 44100.0f;
constexpr float kControlRate = kRate / 8.0f;

GigaEnvelope::Settings Times(float attack, float decay, float sustain, float release)
{
    GigaEnvelope::Settings s;
    s.attack = attack;
    s.decay = decay;
    s.sustain = sustain;
    s.release = release;
    return s;
}

// Runs until finished (or `limit` steps) with gain 1 and answers the levels.
std::vector<float> Levels(GigaEnvelope& e, int limit)
{
    std::vector<float> out(static_cast<std::size_t>(limit));
    out.resize(static_cast<std::size_t>(e.Run(out.data(), limit, 1.0f, 1.0f)));
    return out;
}

TEST(GigaEnvelope, NoAttackNoDecayFullSustainIsFullAtOnce)
{
    GigaEnvelope e;
    e.Start(Times(0, 0, 1, 0.5f), 0, kRate);
    const auto levels = Levels(e, 100);
    ASSERT_EQ(levels.size(), 100u);
    for (float level : levels) EXPECT_FLOAT_EQ(level, 1.0f);
    EXPECT_EQ(e.GetStage(), GigaEnvelope::kSustain);
}

TEST(GigaEnvelope, AttackIsLinearFromPreAttackAndDecayIsExponentialToSustain)
{
    GigaEnvelope e;
    GigaEnvelope::Settings s = Times(0.1f, 1.0f, 0.5f, 0.5f);
    s.preAttack = 0.2f;
    e.Start(s, 0, kRate);
    const int attackSteps = static_cast<int>(0.1f * 0.69f * kControlRate);
    const int decaySteps = static_cast<int>(1.0f * 1.18f * kControlRate);
    const auto levels = Levels(e, attackSteps + decaySteps + 50);
    const float rate = 0.8f / attackSteps;
    EXPECT_NEAR(levels[0], 0.2f + rate, 1e-5f);
    for (int i = 1; i < attackSteps - 1; ++i) EXPECT_NEAR(levels[i] - levels[i - 1], rate, 1e-5f);
    // The attack's last step hands over to the decay, which starts from 1.
    EXPECT_FLOAT_EQ(levels[attackSteps - 1], 1.0f);
    const float factor = levels[attackSteps + 1] / levels[attackSteps];
    EXPECT_LT(factor, 1.0f);
    for (int i = attackSteps + 1; i < attackSteps + decaySteps - 1; ++i)
        EXPECT_NEAR(levels[i] / levels[i - 1], factor, 1e-4f);
    EXPECT_NEAR(levels[attackSteps + decaySteps - 2], 0.5f, 0.05f);
    for (int i = attackSteps + decaySteps; i < static_cast<int>(levels.size()); ++i)
        EXPECT_FLOAT_EQ(levels[i], 0.5f);
}

TEST(GigaEnvelope, TimesAreClampedBeforeScaling)
{
    GigaEnvelope e;
    e.Start(Times(-1, 0, 0, 0), 0, kRate);
    EXPECT_FLOAT_EQ(e.Attack(), 0.0f);
    EXPECT_FLOAT_EQ(e.Sustain(), 0.001f);
    EXPECT_FLOAT_EQ(e.Decay(), 0.01f * 1.18f);  // a sustain below 1 needs some decay
    EXPECT_FLOAT_EQ(e.ReleaseTime(), 0.0165f);  // 0.03 x 0.55
}

TEST(GigaEnvelope, ControllerInfluencesMoveTheTimes)
{
    GigaEnvelope::Settings s = Times(0, 0, 1, 0);
    s.attackInfluence = 2;
    s.releaseInfluence = -1;
    GigaEnvelope e;
    e.Start(s, 127, kRate);
    EXPECT_NEAR(e.Attack(), 0.6f * 0.69f, 1e-6f);
    EXPECT_NEAR(e.ReleaseTime(), 0.03f * 0.55f, 1e-6f);  // negative influence at full controller: 0
    e.Start(s, 0, kRate);
    EXPECT_FLOAT_EQ(e.Attack(), 0.0f);
    EXPECT_NEAR(e.ReleaseTime(), 0.9f * 0.55f, 1e-6f);
}

TEST(GigaEnvelope, ReleaseFallsLinearlyToOneFifthThenExponentiallyAndFinishes)
{
    GigaEnvelope e;
    e.Start(Times(0, 0, 1, 0), 0, kRate);
    Levels(e, 10);
    e.Release();
    EXPECT_EQ(e.GetStage(), GigaEnvelope::kReleaseLinear);
    const float c = 0.0165f * kControlRate;
    const auto levels = Levels(e, 1000);
    ASSERT_TRUE(e.Finished());
    EXPECT_LE(static_cast<int>(levels.size()), static_cast<int>(c * 2.2f));
    const float rate = 0.8f / (c + 1.0f);
    std::size_t i = 1;
    for (; levels[i] >= 0.2f; ++i) EXPECT_NEAR(levels[i - 1] - levels[i], rate, 1e-5f);
    // The tail: a constant factor per step, down to silence.
    const float factor = levels[i + 1] / levels[i];
    for (++i; i < levels.size(); ++i) EXPECT_NEAR(levels[i] / levels[i - 1], factor, 1e-4f);
    EXPECT_LT(levels.back(), 0.01f);
    EXPECT_GT(levels.back(), 0.001f);
}

TEST(GigaEnvelope, ReleaseOfAQuietVoiceEndsAtOnceAndGainsRampAcrossSteps)
{
    GigaEnvelope e;
    e.Start(Times(0, 0, 0.005f, 0), 0, kRate);
    Levels(e, 200);
    EXPECT_FLOAT_EQ(e.Level(), 0.005f);
    e.Release();
    EXPECT_TRUE(e.Finished());
    float gains[4];
    EXPECT_EQ(e.Run(gains, 4, 0.0f, 1.0f), 0);

    e.Start(Times(0, 0, 1, 0), 0, kRate);
    ASSERT_EQ(e.Run(gains, 4, 0.0f, 3.0f), 4);
    EXPECT_FLOAT_EQ(gains[0], 0.0f);
    EXPECT_FLOAT_EQ(gains[1], 1.0f);
    EXPECT_FLOAT_EQ(gains[3], 3.0f);
}

}  // namespace

// Times and levels from damaged files or performances: the envelope still runs with finite
// levels and ends its release.
TEST(GigaEnvelope, HugeAndNonFiniteSettingsGiveFiniteLevelsAndAnEndingRelease)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const GigaEnvelope::Settings& s :
         {Times(4.3e36f, 4.6e26f, 0.5f, 1e30f), Times(inf, inf, nan, inf),
          Times(nan, nan, 2.0f, nan), Times(-inf, -1e30f, -5.0f, -inf)}) {
        GigaEnvelope e;
        GigaEnvelope::Settings odd = s;
        odd.preAttack = nan;
        e.Start(odd, 127, kRate);
        for (float level : Levels(e, 1000)) ASSERT_TRUE(std::isfinite(level));
        e.Release();
        // A release never lasts longer than the longest stage allows.
        const auto release = Levels(e, static_cast<int>(kControlRate * 600 * 2.5f));
        EXPECT_EQ(e.GetStage(), GigaEnvelope::kFinished);
        for (float level : release) ASSERT_TRUE(std::isfinite(level) && level >= 0.0f);
    }
}
