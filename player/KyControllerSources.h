// The sources of a tone's controller table, written once for every floor that reads it: 0..127
// are the MIDI controllers, 128..255 the .gig dimension sources that zones, envelopes and stack
// selection refer to by number (and that performance files store).
#pragma once

namespace KyControllerSources {

inline constexpr int kSlots = 256;
inline constexpr int kMidiControllers = 128;
inline constexpr int kLayer = 129;
// 'Key velocity': outside the MIDI controller range on purpose.
inline constexpr int kVelocity = 130;
inline constexpr int kReleaseTrigger = 132;
inline constexpr int kKeySwitch = 133;
inline constexpr int kRoundRobin = 134;
inline constexpr int kRandom = 135;

}  // namespace KyControllerSources
