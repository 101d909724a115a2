#include "tools/marlet-host/EventScheduler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace {

// VstEvents is a header followed by a pointer array of any length; the list is kept in a
// pointer vector so that the array can grow, with the header in its first slots.
static_assert(offsetof(VstEvents, events) % sizeof(VstEvent*) == 0);
constexpr std::size_t kHeaderSlots = offsetof(VstEvents, events) / sizeof(VstEvent*);

// Times far past any render (a MIDI file may place events centuries away) saturate instead of
// overflowing the frame type.
std::int64_t FrameAt(double seconds, double sampleRate)
{
    const double frame = std::round(seconds * sampleRate);
    if (!(frame > 0.0)) return 0;
    if (frame >= 9.0e18) return INT64_MAX;
    return static_cast<std::int64_t>(frame);
}

}  // namespace

EventScheduler::EventScheduler(std::span<const TimedMidiEvent> events, double sampleRate)
{
    std::vector<std::size_t> order(events.size());
    std::iota(order.begin(), order.end(), std::size_t {0});
    std::vector<std::int64_t> frames(events.size());
    for (std::size_t i = 0; i < events.size(); ++i)
        frames[i] = FrameAt(events[i].seconds, sampleRate);
    // The inputs are sorted already; sorting again keeps a caller's mistake from reordering time.
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return frames[a] < frames[b]; });

    for (const std::size_t i : order) {
        VstMidiEvent m {};
        m.type = vst::kVstMidiType;
        m.byteSize = sizeof(VstMidiEvent);
        m.midiData[0] = static_cast<char>(events[i].status);
        m.midiData[1] = static_cast<char>(events[i].data1);
        m.midiData[2] = static_cast<char>(events[i].data2);
        frames_.push_back(frames[i]);
        messages_.push_back(m);
    }
}

VstEvents* EventScheduler::EventsForBlock(std::int64_t blockStart, std::int32_t frames)
{
    const auto first = std::lower_bound(frames_.begin(), frames_.end(), blockStart);
    const auto last = std::lower_bound(first, frames_.end(), blockStart + std::max(frames, 0));
    if (first == last) return nullptr;

    const auto begin = static_cast<std::size_t>(first - frames_.begin());
    const auto count = static_cast<std::size_t>(last - first);
    block_.assign(messages_.begin() + static_cast<std::ptrdiff_t>(begin),
                  messages_.begin() + static_cast<std::ptrdiff_t>(begin + count));
    for (std::size_t i = 0; i < count; ++i)
        block_[i].deltaFrames = static_cast<std::int32_t>(frames_[begin + i] - blockStart);

    list_.assign(kHeaderSlots + std::max<std::size_t>(count, 2), nullptr);
    VstEvents header {};
    header.numEvents = static_cast<std::int32_t>(count);
    std::memcpy(list_.data(), &header, offsetof(VstEvents, events));
    for (std::size_t i = 0; i < count; ++i)
        list_[kHeaderSlots + i] = reinterpret_cast<VstEvent*>(&block_[i]);
    return reinterpret_cast<VstEvents*>(list_.data());
}
