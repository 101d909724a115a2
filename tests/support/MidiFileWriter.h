// Builds standard MIDI file bytes for tests: a header and tracks of events with delta times.
// Raw() and Bytes() take any bytes, so tests can write running status or broken data too.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace testsupport {

class MidiFileWriter {
public:
    explicit MidiFileWriter(std::uint16_t format = 1, std::uint16_t division = 480);

    // Starts a new track; the event calls below append to the latest one.
    MidiFileWriter& Track();
    MidiFileWriter& Tempo(std::uint32_t delta, std::uint32_t microsPerQuarter);
    MidiFileWriter& NoteOn(std::uint32_t delta, int channel, int key, int velocity);
    MidiFileWriter& NoteOff(std::uint32_t delta, int channel, int key);
    MidiFileWriter& EndOfTrack(std::uint32_t delta = 0);
    // A delta time followed by the given bytes as they are.
    MidiFileWriter& Event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes);
    // Bytes appended to the current track without a delta time.
    MidiFileWriter& Raw(std::initializer_list<std::uint8_t> bytes);
    // Overrides the track count written into the header (to describe a truncated file).
    MidiFileWriter& DeclareTracks(std::uint16_t count);

    std::vector<std::uint8_t> Bytes() const;

    static std::vector<std::uint8_t> VariableLength(std::uint32_t value);

private:
    std::uint16_t format_;
    std::uint16_t division_;
    int declaredTracks_ = -1;
    std::vector<std::vector<std::uint8_t>> tracks_;
};

}  // namespace testsupport
