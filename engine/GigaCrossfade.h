// Equal-power gain curves for a zone's attenuation controller: a crossfade between zones over a
// controller range, or the whole controller range as a fade when no crossfade points are set.
#pragma once

#include <array>
#include <cstdint>

class GigaCrossfade {
public:
    // Fade-in start, fade-in end, fade-out start, fade-out end (the zone's 'wsmp' options).
    using Points = std::array<std::uint8_t, 4>;

    // cos(x * pi / 2) for x in 0..1 by a short polynomial; 1 at 0, about 0 at 1.
    static constexpr float Fall(float x)
    {
        x = x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
        const float angle = x * 1.5707964f;
        const float u = angle * angle;
        const float p = 0.99940306f - 0.49558073f * u + 0.03679168f * u * u;
        return p < 0.0f ? 0.0f : p;
    }
    static constexpr float Rise(float x) { return Fall(1.0f - x); }

    // The attenuation gain for controller value `value` (already raised to the threshold).
    static float Gain(int value, const Points& points, bool invert);
};
