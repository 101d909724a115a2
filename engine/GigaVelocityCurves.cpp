#include "engine/GigaVelocityCurves.h"

#include <algorithm>

namespace {

// Compile-time exp and log, good to float precision over the range the curves need.
constexpr double kLn2 = 0.6931471805599453;

constexpr double ConstExp(double x)
{
    const int k = static_cast<int>(x / kLn2 + (x < 0 ? -0.5 : 0.5));
    const double r = x - k * kLn2;
    double term = 1.0, sum = 1.0;
    for (int n = 1; n < 24; ++n) {
        term *= r / n;
        sum += term;
    }
    for (int i = 0; i < k; ++i) sum *= 2.0;
    for (int i = 0; i > k; --i) sum *= 0.5;
    return sum;
}

constexpr double ConstLog(double x)
{
    int k = 0;
    while (x >= 2.0) x *= 0.5, ++k;
    while (x < 1.0) x *= 2.0, --k;
    const double y = (x - 1.0) / (x + 1.0);
    double power = y, sum = 0.0;
    for (int n = 1; n < 60; n += 2) {
        sum += power / n;
        power *= y * y;
    }
    return 2.0 * sum + k * kLn2;
}

// Each curve is fixed by its full-depth values at velocities 1, 70 and 127. In the log domain it
// runs from the first to the last along x^gamma (x = (v - 1) / 126), gamma chosen so that it
// passes through the middle one: smooth and rising everywhere by construction. Depth row r
// raises the full-depth curve to the power (4 - r) / 4, so row 4 is 1.0 (no response) and the
// rows between move geometrically between the two.
struct Anchors {
    double first, middle, last;
};

constexpr double kMiddleX = 69.0 / 126.0;

constexpr double LogShape(const Anchors& a, double x)
{
    const double low = ConstLog(a.first);
    const double span = ConstLog(a.last) - low;
    const double gamma = ConstLog((ConstLog(a.middle) - low) / span) / ConstLog(kMiddleX);
    return low + span * (x > 0.0 ? ConstExp(gamma * ConstLog(x)) : 0.0);
}

using Table = GigaVelocityCurves::Table;

constexpr Table MakeTable(const std::array<Anchors, GigaVelocityCurves::kCurves>& curves)
{
    Table table {};
    for (int c = 0; c < GigaVelocityCurves::kCurves; ++c)
        for (int r = 0; r < GigaVelocityCurves::kRows; ++r)
            for (int i = 0; i < GigaVelocityCurves::kPoints; ++i) {
                const double x = 3.0 * i / 126.0;
                const double weight = (4.0 - r) / 4.0;
                table[c][r][i] = static_cast<float>(ConstExp(weight * LogShape(curves[c], x)));
            }
    return table;
}

// A: curve 0 rises about exponentially, curve 1 comes up early like a linear response, curve 2
// stays low up to the middle and rises steeply at the top.
constexpr Table kTableA = MakeTable({{
    {0.0527, 0.3019, 1.34},
    {0.014, 0.55, 1.6},
    {0.03, 0.09, 2.2825},
}});

// B: the same shapes, ending at 1.0.
constexpr Table kTableB = MakeTable({{
    {0.013, 0.3, 1.0},
    {0.013, 0.6, 1.0},
    {0.013, 0.08, 1.0},
}});

float Lookup(const Table& t, int curve, int row, int index, float weight)
{
    const float here = t[curve][row][index];
    if (weight == 0.0f) return here;
    return (1.0f - weight) * here + weight * t[curve][row][index + 1];
}

}  // namespace

const GigaVelocityCurves::Table& GigaVelocityCurves::A()
{
    return kTableA;
}

const GigaVelocityCurves::Table& GigaVelocityCurves::B()
{
    return kTableB;
}

float GigaVelocityCurves::Value(int curve, float scale, float depth, int velocity)
{
    curve = std::clamp(curve, 0, kCurves - 1);
    velocity = std::clamp(velocity, 1, 127);
    depth = std::clamp(depth, 0.0f, 1.0f);
    const int row = std::min(static_cast<int>((1.0f - depth) * 4.0f + 0.5f), kRows - 1);
    const int index = (velocity - 1) / 3;
    // Between table points the next one weighs 0, 0.25 or 0.5 (quarters, not thirds).
    const float weight = static_cast<float>((velocity - 1) % 3) * 0.25f;
    const float a = Lookup(kTableA, curve, row, index, weight);
    float gain;
    if (scale >= 1.0f) {
        gain = scale * a;
        if (scale > 1.0f && velocity < 34)
            gain = scale * (1.0f - static_cast<float>(34 - velocity) / 120.0f) * a;
    } else {
        gain = scale * a + (1.0f - scale) * Lookup(kTableB, curve, row, index, weight);
    }
    return std::min(gain, 1.0f);
}
