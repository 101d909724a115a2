// Reads standard MIDI files of format 0 and 1 into channel messages timed in seconds. The tempo
// changes of all tracks form one tempo map (format 1 keeps it in track 0, but it applies to every
// track). System exclusive and meta events other than tempo and end of track are skipped.
// Malformed input of any kind is refused with a std::runtime_error describing where and why.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/marlet-host/TimedMidiEvent.h"

class MidiFile {
public:
    // Files beyond this size are refused rather than read.
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

    static MidiFile Read(const std::string& path);
    static MidiFile Parse(std::span<const std::uint8_t> bytes);

    int Format() const { return format_; }
    int TrackCount() const { return trackCount_; }
    // Sorted by time; events at the same time stay in file order (track by track).
    const std::vector<TimedMidiEvent>& Events() const { return events_; }
    // Time of the last end-of-track (or of the last event, if later): the length of the piece.
    double LengthSeconds() const { return lengthSeconds_; }

private:
    MidiFile() = default;

    int format_ = 0;
    int trackCount_ = 0;
    std::vector<TimedMidiEvent> events_;
    double lengthSeconds_ = 0.0;
};
