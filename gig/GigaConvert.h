// Conversions from the raw values of .gig chunks to the units the engine works in.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "player/KyControllerSources.h"

namespace GigaConvert {

inline constexpr int kVelocitySource = KyControllerSources::kVelocity;

// A 32-bit time code (1200 x 65536 units per octave of seconds) in seconds; 0x80000000 is 0.
float TimeCodeSeconds(std::int32_t code);
// The same, limited to 10 seconds (decay and release times).
float LimitedTimeCodeSeconds(std::int32_t code);

// The signed high word of a 'wsmp' attenuation as a linear gain.
float AttenuationGain(std::int16_t attenuation);

// A '3ewa' controller byte: bit 0 marks it used, (b - 1) / 2 indexes the controller table.
// 0 means no controller.
int MapController(std::uint8_t b);

struct EnvelopeInfluences {
    int attack = 0;
    int decay = 0;
    int release = 0;
};
EnvelopeInfluences Influences(std::uint8_t b);

// '3ewa' pan byte: 0..63 map to 64..127, 64..127 to 63..0.
int Pan(std::uint8_t b);

// Velocity and filter-velocity bytes pack a depth (b mod 5) and a curve ((b / 5) mod 3).
float VelocityDepth(std::uint8_t b);
int VelocityCurve(std::uint8_t b);
float VelocityScale(std::uint8_t b);

// A 'smpl' pitch fraction (a signed fraction of a semitone) in cents, truncated toward zero.
int SampleFineTune(std::int32_t fraction);

// An 'INAM' text: stops at the first zero, keeps at most 199 bytes, turns 0xB4 into an apostrophe
// and every other byte of 0x80 and above into a space.
std::string CleanName(std::string_view raw);

// Keeps a loop inside `frameCount` frames: an end at or beyond the last frame is pulled back, and
// a loop that then ends before it starts (or starts before 0) is switched off.
void SanitiseLoop(std::int32_t& enabled, std::int32_t& start, std::int32_t& end,
                  std::int32_t frameCount);

}  // namespace GigaConvert
