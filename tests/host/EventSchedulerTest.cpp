#include "tools/marlet-host/EventScheduler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Seen {
    int delta;
    int status;
    int key;
};

std::vector<Seen> Block(EventScheduler& s, std::int64_t start, std::int32_t frames)
{
    std::vector<Seen> seen;
    const VstEvents* list = s.EventsForBlock(start, frames);
    if (!list) return seen;
    EXPECT_GT(list->numEvents, 0);
    for (int i = 0; i < list->numEvents; ++i) {
        const auto* m = reinterpret_cast<const VstMidiEvent*>(list->events[i]);
        EXPECT_EQ(m->type, vst::kVstMidiType);
        EXPECT_EQ(m->byteSize, static_cast<int>(sizeof(VstMidiEvent)));
        seen.push_back(
            {m->deltaFrames, static_cast<unsigned char>(m->midiData[0]), m->midiData[1]});
    }
    return seen;
}

bool operator==(const Seen& a, const Seen& b)
{
    return a.delta == b.delta && a.status == b.status && a.key == b.key;
}

TEST(HostEventScheduler, PutsEventsIntoTheirBlockCountingFromItsStart)
{
    // At 1000 Hz a frame is a millisecond; blocks of 100 frames.
    const std::vector<TimedMidiEvent> events {
        {0.0, 0x90, 1, 100},    {0.0994, 0x90, 2, 100},  // 99.4 rounds down to the last frame
        {0.0996, 0x90, 3, 100},  // 99.6 rounds up onto the next block's first frame
        {0.100, 0x80, 1, 0},    {0.350, 0x80, 2, 0},
    };
    EventScheduler s(events, 1000.0);

    EXPECT_EQ(Block(s, 0, 100), (std::vector<Seen> {{0, 0x90, 1}, {99, 0x90, 2}}));
    EXPECT_EQ(Block(s, 100, 100), (std::vector<Seen> {{0, 0x90, 3}, {0, 0x80, 1}}));
    EXPECT_EQ(s.EventsForBlock(200, 100), nullptr);
    EXPECT_EQ(Block(s, 300, 100), (std::vector<Seen> {{50, 0x80, 2}}));
    EXPECT_EQ(s.EventsForBlock(400, 100), nullptr);
    EXPECT_EQ(s.LastFrame(), 350);
}

TEST(HostEventScheduler, KeepsTheOrderOfEventsOnTheSameFrame)
{
    std::vector<TimedMidiEvent> events;
    for (int key = 0; key < 40; ++key)
        events.push_back({0.5, 0x90, static_cast<std::uint8_t>(key), 1});
    EventScheduler s(events, 48000.0);

    const auto seen = Block(s, 23999, 2);
    ASSERT_EQ(seen.size(), 40u);  // more than the two pointers VstEvents declares
    for (int key = 0; key < 40; ++key) {
        EXPECT_EQ(seen[key].key, key);
        EXPECT_EQ(seen[key].delta, 1);
    }
}

TEST(HostEventScheduler, BlocksOfOneFrame)
{
    const std::vector<TimedMidiEvent> events {
        {0.0, 0x90, 1, 1}, {0.002, 0x90, 2, 1}, {0.002, 0x80, 1, 0}};
    EventScheduler s(events, 1000.0);

    EXPECT_EQ(Block(s, 0, 1), (std::vector<Seen> {{0, 0x90, 1}}));
    EXPECT_EQ(s.EventsForBlock(1, 1), nullptr);
    EXPECT_EQ(Block(s, 2, 1), (std::vector<Seen> {{0, 0x90, 2}, {0, 0x80, 1}}));
    EXPECT_EQ(s.EventsForBlock(3, 1), nullptr);
}

TEST(HostEventScheduler, EventsBeyondAnyRenderDoNotOverflow)
{
    const std::vector<TimedMidiEvent> events {{1e30, 0x90, 1, 1}};
    EventScheduler s(events, 384000.0);
    EXPECT_EQ(s.EventsForBlock(0, 8192), nullptr);
    EXPECT_EQ(s.LastFrame(), INT64_MAX);
}

}  // namespace
