#include "gui/XEventQueue.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/FourCC.h"

namespace {

TEST(EventQueue, StartsEmptyAtTheLastSlotAndHoldsCapacityMinusOne)
{
    XEventQueue queue;
    EXPECT_EQ(queue.Queue().ReadIndex(), 127u);
    EXPECT_EQ(queue.Queue().WriteIndex(), 127u);
    XEvent out;
    EXPECT_FALSE(queue.NextEvent(out));

    for (int i = 0; i < 127; ++i) ASSERT_TRUE(queue.Post(FourCC("done"), i, -i));
    EXPECT_FALSE(queue.Post(FourCC("KyTL"), 999));  // full: refused, nothing overwritten
    EXPECT_EQ(queue.Queue().WriteIndex(), 126u);

    for (int i = 0; i < 127; ++i) {
        ASSERT_TRUE(queue.NextEvent(out));
        EXPECT_EQ(out.code, 0x646F6E65);
        EXPECT_EQ(out.a, i);
        EXPECT_EQ(out.b, -i);
    }
    EXPECT_FALSE(queue.NextEvent(out));
    EXPECT_TRUE(queue.QueueEmpty());
    // Room again, and the ring keeps working across the wrap.
    for (int round = 0; round < 300; ++round) {
        ASSERT_TRUE(queue.Post(round));
        ASSERT_TRUE(queue.NextEvent(out));
        EXPECT_EQ(out.code, round);
    }
}

TEST(EventQueue, TinyCapacitiesStayUsable)
{
    for (std::uint32_t capacity : {0u, 1u, 2u, 3u}) {
        UQueue<XEvent> queue(capacity);
        const std::uint32_t room = queue.Capacity() - 1;
        EXPECT_GE(room, 1u);
        for (std::uint32_t i = 0; i < room; ++i) EXPECT_TRUE(queue.Post({1, 0, 0}));
        EXPECT_FALSE(queue.Post({2, 0, 0}));
        XEvent out;
        EXPECT_TRUE(queue.Next(out));
        EXPECT_EQ(out.code, 1);
    }
}

// Two threads post at once while the GUI thread drains: every accepted event arrives exactly
// once, and each producer's events arrive in the order it posted them.
TEST(EventQueue, TwoProducersAndADrainingConsumerLoseAndDuplicateNothing)
{
    constexpr int kPerProducer = 20000;
    XEventQueue queue;
    std::array<std::vector<int>, 2> accepted;
    std::atomic<int> running {2};

    auto produce = [&](int producer) {
        for (int i = 0; i < kPerProducer; ++i) {
            if (queue.Post(producer, i)) accepted[producer].push_back(i);
            if (i % 64 == 0) std::this_thread::yield();
        }
        running.fetch_sub(1, std::memory_order_release);
    };
    std::thread first(produce, 0);
    std::thread second(produce, 1);

    std::array<std::vector<int>, 2> received;
    XEvent event;
    for (;;) {
        const bool done = running.load(std::memory_order_acquire) == 0;
        while (queue.NextEvent(event)) {
            ASSERT_GE(event.code, 0);
            ASSERT_LE(event.code, 1);
            received[event.code].push_back(event.a);
        }
        if (done) break;
        std::this_thread::yield();
    }
    first.join();
    second.join();
    while (queue.NextEvent(event)) received[event.code].push_back(event.a);

    for (int p = 0; p < 2; ++p) {
        EXPECT_FALSE(accepted[p].empty());
        EXPECT_EQ(received[p], accepted[p]) << "producer " << p;
    }
}

}  // namespace
