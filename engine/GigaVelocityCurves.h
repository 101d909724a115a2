// The velocity response of a zone: how loud (or how bright, for the filter) a note of a given
// velocity plays, for the three .gig curve types at five depths. Two tables: A is the response
// itself, B a flatter curve that is blended in when the zone's velocity scale is below 1.
#pragma once

#include <array>

class GigaVelocityCurves {
public:
    static constexpr int kCurves = 3;
    static constexpr int kRows = 5;     // depth rows: 0 full response .. 4 none
    static constexpr int kPoints = 43;  // point i holds velocity 3i + 1

    using Table = std::array<std::array<std::array<float, kPoints>, kRows>, kCurves>;

    static const Table& A();
    static const Table& B();

    // The gain for `velocity` (1..127) on curve `curve` (0..2) with `scale` and `depth` (0..1),
    // never above 1.
    static float Value(int curve, float scale, float depth, int velocity);
};
