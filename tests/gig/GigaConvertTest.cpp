#include "gig/GigaConvert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace GigaConvert;

TEST(GigaConvert, TimeCodesAreOctavesOfSecondsAndDecaysStopAtTenSeconds)
{
    EXPECT_EQ(TimeCodeSeconds(INT32_MIN), 0.0f);
    EXPECT_FLOAT_EQ(TimeCodeSeconds(0), 1.0f);
    EXPECT_FLOAT_EQ(TimeCodeSeconds(78643200), 2.0f);
    EXPECT_FLOAT_EQ(TimeCodeSeconds(-78643200 * 3), 0.125f);
    EXPECT_FLOAT_EQ(TimeCodeSeconds(78643200 * 4), 16.0f);  // attacks are not limited
    EXPECT_FLOAT_EQ(LimitedTimeCodeSeconds(78643200 * 4), 10.0f);
    EXPECT_FLOAT_EQ(LimitedTimeCodeSeconds(78643200), 2.0f);
}

TEST(GigaConvert, AttenuationPiecesMeetNearTwoDecibels)
{
    EXPECT_FLOAT_EQ(AttenuationGain(0), 1.0f);
    EXPECT_FLOAT_EQ(AttenuationGain(-50), 1.0f);  // x = +5
    EXPECT_FLOAT_EQ(AttenuationGain(10), 0.99f);  // x = -1
    EXPECT_FLOAT_EQ(AttenuationGain(20), 0.98f);  // x = -2, still the linear piece
    EXPECT_NEAR(AttenuationGain(21), 1.234f * std::pow(10.0f, -0.105f), 1e-5f);
    EXPECT_NEAR(1.234f * std::pow(10.0f, -0.1f), 0.98f, 0.001f);
    EXPECT_NEAR(AttenuationGain(200), 1.234f * 0.1f, 1e-5f);  // x = -20 dB
}

TEST(GigaConvert, ControllerMapUsesOddBytesOnly)
{
    EXPECT_EQ(MapController(0), 0);
    EXPECT_EQ(MapController(2), 0);  // bit 0 clear: unused
    EXPECT_EQ(MapController(1), 64);
    EXPECT_EQ(MapController(3), 1);
    EXPECT_EQ(MapController(2 * 11 + 1), 19);
    EXPECT_EQ(MapController(2 * 22 + 1), 95);
    EXPECT_EQ(MapController(2 * 23 + 1), 0);
    EXPECT_EQ(MapController(255), kVelocitySource);
}

TEST(GigaConvert, InfluencesPanAndVelocityBytes)
{
    const auto plus = Influences(0b0111'0110);
    EXPECT_EQ(plus.attack, 3);
    EXPECT_EQ(plus.decay, 2);
    EXPECT_EQ(plus.release, 3);
    const auto minus = Influences(0b0010'1011);
    EXPECT_EQ(minus.attack, -1);
    EXPECT_EQ(minus.decay, -1);
    EXPECT_EQ(minus.release, -1);

    EXPECT_EQ(Pan(0), 64);
    EXPECT_EQ(Pan(63), 127);
    EXPECT_EQ(Pan(64), 63);
    EXPECT_EQ(Pan(127), 0);

    EXPECT_FLOAT_EQ(VelocityDepth(0), 1.0f);
    EXPECT_FLOAT_EQ(VelocityDepth(4), 0.0f);
    EXPECT_FLOAT_EQ(VelocityDepth(7), 0.5f);
    EXPECT_EQ(VelocityCurve(7), 1);
    EXPECT_EQ(VelocityCurve(14), 2);
    EXPECT_EQ(VelocityCurve(15), 0);

    EXPECT_FLOAT_EQ(VelocityScale(0), 1.0f);
    EXPECT_FLOAT_EQ(VelocityScale(0x80 | 20), 1.0f);
    EXPECT_FLOAT_EQ(VelocityScale(10), 0.5f);
    EXPECT_FLOAT_EQ(VelocityScale(41), 2.0f);
}

TEST(GigaConvert, FineTuneTruncatesTowardZero)
{
    EXPECT_EQ(SampleFineTune(0), 0);
    EXPECT_EQ(SampleFineTune(INT32_MIN), -50);
    EXPECT_EQ(SampleFineTune(0x40000000), 25);
    EXPECT_EQ(SampleFineTune(-0x40000000 + 1), -24);
    EXPECT_EQ(SampleFineTune(0x7FFFFFFF), 49);
}

TEST(GigaConvert, NamesAreCleanedCutAndStoppedAtZero)
{
    EXPECT_EQ(CleanName("Piano\xB4s \xE9t\xE9"), "Piano's  t ");
    EXPECT_EQ(CleanName(std::string("Harp\0junk", 9)), "Harp");
    EXPECT_EQ(CleanName(std::string(300, 'a')).size(), 199u);
}

TEST(GigaConvert, LoopsAreKeptInsideTheFrames)
{
    std::int32_t on = 1, start = 10, end = 500;
    SanitiseLoop(on, start, end, 200);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(end, 199);
    on = 1, start = 300, end = 500;
    SanitiseLoop(on, start, end, 200);
    EXPECT_EQ(on, 0);
    on = 1, start = -5, end = 20;
    SanitiseLoop(on, start, end, 200);
    EXPECT_EQ(on, 0);
}
