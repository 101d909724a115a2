// The notes of a `--notes` option: "start:channel:key:velocity:length" entries separated by
// commas. Times are in seconds, channels count from 0 (0-15), keys 0-127, velocities 1-127.
// Each note becomes a note-on at start and a note-off at start + length.
#pragma once

#include <string_view>
#include <vector>

#include "tools/marlet-host/TimedMidiEvent.h"

class NoteList {
public:
    // Throws std::invalid_argument naming the entry and the field at fault.
    static NoteList Parse(std::string_view text);

    // Sorted by time; at equal times note-offs come first, so a note repeated back to back is
    // not cut by the end of its predecessor. Otherwise the order of the list is kept.
    const std::vector<TimedMidiEvent>& Events() const { return events_; }
    // When the last note ends.
    double EndSeconds() const { return endSeconds_; }

private:
    std::vector<TimedMidiEvent> events_;
    double endSeconds_ = 0.0;
};
