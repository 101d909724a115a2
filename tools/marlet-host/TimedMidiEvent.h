// A channel message at a time in seconds from the start of the render: what the MIDI file reader
// and the note list produce and what the scheduler turns into per-block plug-in events.
#pragma once

#include <cstdint>

struct TimedMidiEvent {
    double seconds = 0.0;
    std::uint8_t status = 0;  // 0x80..0xEF
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;  // 0 for the one-byte messages (program change, channel pressure)
};
