// One queued MIDI message of a tone: 16 bytes, applied by the audio thread at the start of the
// next block.
#pragma once

#include <cstdint>

struct KyMidiEvent {
    enum Type : std::int32_t {
        kNoteOn = 0,
        kNoteOff = 1,
        kPitchBend = 2,
        kControlChange = 3,
        kProgramChange = 4,
    };

    std::int32_t type = kNoteOn;
    std::int32_t data1 = 0;   // key, controller, bend LSB or program
    std::int32_t data2 = 0;   // velocity, controller value or bend MSB; 0 for program change
    std::int32_t offset = 0;  // frame position in the host block it arrived with
};

static_assert(sizeof(KyMidiEvent) == 16);
