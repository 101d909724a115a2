// Hands a plug-in its MIDI events block by block: each event goes to the block holding its frame
// (round(seconds * rate)) with deltaFrames counted from the start of that block.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/marlet-host/TimedMidiEvent.h"
#include "vst/VstAbi.h"

class EventScheduler {
public:
    EventScheduler(std::span<const TimedMidiEvent> events, double sampleRate);

    // The events with frames in [blockStart, blockStart + frames), in their original order, or
    // null when there are none. The list stays valid until the next call.
    VstEvents* EventsForBlock(std::int64_t blockStart, std::int32_t frames);

    // Frame of the last event, -1 without events.
    std::int64_t LastFrame() const { return frames_.empty() ? -1 : frames_.back(); }

private:
    std::vector<std::int64_t> frames_;    // sorted
    std::vector<VstMidiEvent> messages_;  // parallel to frames_
    std::vector<VstMidiEvent> block_;     // the current block's events
    std::vector<VstEvent*> list_;         // a VstEvents header followed by its pointer array
};
