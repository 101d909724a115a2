#include "player/KyRingBuffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "player/KyMidiEvent.h"

namespace {

std::vector<int> Collect(const KyRingBuffer<KyMidiEvent>::Runs& runs)
{
    std::vector<int> keys;
    for (const auto& e : runs.first) keys.push_back(e.data1);
    for (const auto& e : runs.second) keys.push_back(e.data1);
    return keys;
}

TEST(KyRingBuffer, HoldsCapacityMinusOneAndDropsTheNewestWhenFull)
{
    KyRingBuffer<KyMidiEvent> ring(1024);
    for (int i = 0; i < 1023; ++i) ASSERT_TRUE(ring.Push({KyMidiEvent::kNoteOn, i, 1, 0}));
    EXPECT_EQ(ring.Pending(), 1023u);
    EXPECT_FALSE(ring.Push({KyMidiEvent::kNoteOn, 9999, 1, 0}));
    EXPECT_EQ(ring.Pending(), 1023u);

    const auto runs = ring.Peek(1024);
    const auto keys = Collect(runs);
    ASSERT_EQ(keys.size(), 1023u);
    for (int i = 0; i < 1023; ++i) EXPECT_EQ(keys[static_cast<std::size_t>(i)], i);
    ring.Advance(runs.Count());
    EXPECT_EQ(ring.Pending(), 0u);
    EXPECT_TRUE(ring.Push({KyMidiEvent::kNoteOn, 1, 1, 0}));
}

TEST(KyRingBuffer, AWrappedRunComesAsTwoPiecesInOrder)
{
    KyRingBuffer<KyMidiEvent> ring(1024);
    for (int i = 0; i < 1000; ++i) ring.Push({});
    ring.Advance(ring.Peek(1024).Count());
    for (int i = 0; i < 100; ++i) ring.Push({KyMidiEvent::kNoteOn, i, 0, 0});

    const auto runs = ring.Peek(1024);
    EXPECT_EQ(runs.first.size(), 24u);
    EXPECT_EQ(runs.second.size(), 76u);
    const auto keys = Collect(runs);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(keys[static_cast<std::size_t>(i)], i);

    // A limited peek takes the oldest ones only.
    EXPECT_EQ(Collect(ring.Peek(30)).back(), 29);
}

TEST(KyRingBuffer, ClearDropsWhatIsPendingAndKeepsWorking)
{
    KyRingBuffer<int> ring(8);
    for (int i = 0; i < 5; ++i) ring.Push(i);
    ring.Clear();
    EXPECT_EQ(ring.Pending(), 0u);
    EXPECT_EQ(ring.Peek(8).Count(), 0u);
    ring.Push(42);
    const auto runs = ring.Peek(8);
    ASSERT_EQ(runs.Count(), 1u);
    EXPECT_EQ(runs.first[0], 42);
}

}  // namespace
