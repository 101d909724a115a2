// Decodes the two chunks of a dimension region ('wsmp' and '3ewa') into its zone. What the region
// itself takes from '3ewa' (flags and upper limits) is handed back.
#pragma once

#include <array>
#include <cstdint>
#include <span>

class GigaZone;

struct GigaZoneLimits {
    bool selfMask = false;
    bool sustainDefeat = false;
    int velocityUpperLimit = 0;                           // 0 when not given
    std::array<std::uint8_t, 8> dimensionUpperLimits {};  // per definition; 0 when not given
};

class GigaZoneDecoder {
public:
    // 'wsmp': unity note, fine tune, gain, options (file version 2 and above) and the loop.
    static void ReadWsmp(std::span<const std::uint8_t> data, int version, GigaZone& zone);
    // '3ewa': envelopes, velocity response, controllers, pan, filter. Its length word decides
    // which of the later fields exist; fields beyond it (or beyond the chunk) keep their defaults.
    static GigaZoneLimits Read3ewa(std::span<const std::uint8_t> data, GigaZone& zone);
};
