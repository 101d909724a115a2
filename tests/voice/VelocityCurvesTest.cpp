#include "engine/GigaVelocityCurves.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Curves = GigaVelocityCurves;

constexpr int Point(int velocity)
{
    return (velocity - 1) / 3;
}

TEST(GigaVelocityCurves, TellingRowsHold)
{
    const auto& a = Curves::A();
    for (float v : a[1][4]) EXPECT_NEAR(v, 1.0f, 0.01f);
    EXPECT_NEAR(a[0][0][Point(1)], 0.0527f, 0.0527f * 0.01f);
    EXPECT_NEAR(a[0][0][Point(70)], 0.3019f, 0.3019f * 0.01f);
    EXPECT_NEAR(a[0][0][Point(127)], 1.34f, 1.34f * 0.01f);
    for (int v = 1; v <= 70; v += 3) {
        EXPECT_GE(a[2][0][Point(v)], 0.0297f) << v;
        EXPECT_LE(a[2][0][Point(v)], 0.0909f) << v;
    }
    EXPECT_NEAR(a[2][0][Point(127)], 2.2825f, 2.2825f * 0.01f);

    const auto& b = Curves::B();
    for (float v : b[1][4]) EXPECT_NEAR(v, 1.0f, 0.01f);
    for (const auto& curve : b)
        for (const auto& row : curve)
            for (float v : row) {
                EXPECT_GE(v, 0.0128f);
                EXPECT_LE(v, 1.0f + 1e-6f);
            }
}

TEST(GigaVelocityCurves, EveryRowRisesWithVelocity)
{
    for (const auto* table : {&Curves::A(), &Curves::B()})
        for (int c = 0; c < Curves::kCurves; ++c)
            for (int r = 0; r < Curves::kRows; ++r) {
                const auto& row = (*table)[c][r];
                for (int i = 1; i < Curves::kPoints; ++i)
                    EXPECT_GE(row[i], row[i - 1])
                        << "curve " << c << " row " << r << " point " << i;
                // A shallower row is always closer to 1.0 than a deeper one.
            }
}

TEST(GigaVelocityCurves, ValuePicksRowAndWeightsAndScales)
{
    const auto& a = Curves::A();
    const auto& b = Curves::B();
    // Depth 0 is row 4, and the result never exceeds 1.
    EXPECT_NEAR(Curves::Value(1, 1.0f, 0.0f, 127), 0.9998f, 0.002f);
    EXPECT_FLOAT_EQ(Curves::Value(0, 1.0f, 1.0f, 127), 1.0f);
    // Depth 0.6 rounds to row 2; velocity 71 is a quarter of the way from point 23 to 24.
    const float expected = 0.75f * a[0][2][23] + 0.25f * a[0][2][24];
    EXPECT_NEAR(Curves::Value(0, 1.0f, 0.6f, 71), expected, 1e-6f);
    // Velocity 72 weighs the next point by one half, not two thirds.
    EXPECT_NEAR(Curves::Value(0, 1.0f, 1.0f, 72), 0.5f * (a[0][0][23] + a[0][0][24]), 1e-6f);
    // Above scale 1, quiet notes are held back: velocity 20 gets 1.5 x (1 - 14/120).
    const float t20 = 0.75f * a[0][0][6] + 0.25f * a[0][0][7];  // (20 - 1) % 3 = 1
    EXPECT_NEAR(Curves::Value(0, 1.5f, 1.0f, 20), 1.5f * (1.0f - 14.0f / 120.0f) * t20, 1e-6f);
    EXPECT_NEAR(Curves::Value(0, 1.5f, 1.0f, 34), 1.5f * a[0][0][11], 1e-6f);
    // Below scale 1, table B is blended in.
    EXPECT_NEAR(Curves::Value(2, 0.25f, 1.0f, 1), 0.25f * a[2][0][0] + 0.75f * b[2][0][0], 1e-6f);
    // Out-of-range input is held in range.
    EXPECT_FLOAT_EQ(Curves::Value(7, 1.0f, 1.0f, 0), Curves::Value(2, 1.0f, 1.0f, 1));
}

}  // namespace
