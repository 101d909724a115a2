#include "stream/KyAudioRing.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t first)
{
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), first);
    return v;
}

TEST(KyAudioRing, TakesOnlyPowersOfTwo)
{
    KyAudioRing ring;
    for (std::uint32_t size : {0u, 3u, 65535u, 65537u, (1u << 31)}) {
        EXPECT_FALSE(ring.Create(size)) << size;
        EXPECT_EQ(ring.Size(), 0u);
    }
    ASSERT_TRUE(ring.Create(65536));
    EXPECT_EQ(ring.Free(), 65536u);
    EXPECT_EQ(ring.Filled(), 0u);
    // An empty ring reads nothing.
    std::array<std::uint8_t, 4> out {};
    EXPECT_EQ(ring.Read(out.data(), 4), 0u);
}

TEST(KyAudioRing, FullIsToldFromEmptyWithoutASpareByte)
{
    KyAudioRing ring;
    ASSERT_TRUE(ring.Create(16));
    const auto in = Bytes(20, 1);
    EXPECT_EQ(ring.Write(in.data(), 16), 16u);
    EXPECT_EQ(ring.Filled(), 16u);
    EXPECT_EQ(ring.Free(), 0u);
    EXPECT_EQ(ring.Write(in.data(), 1), 0u);
    EXPECT_EQ(ring.PeekWrite(8).Size(), 0u);

    std::vector<std::uint8_t> out(20);
    EXPECT_EQ(ring.Read(out.data(), 20), 16u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 16, in.begin()));
    EXPECT_EQ(ring.Filled(), 0u);
    EXPECT_EQ(ring.Free(), 16u);
    // A write larger than the room is cut to it.
    EXPECT_EQ(ring.Write(in.data(), 20), 16u);
}

TEST(KyAudioRing, KeepsOrderAcrossTheEndAndThroughCounterWraps)
{
    KyAudioRing ring;
    ASSERT_TRUE(ring.Create(16));
    std::uint8_t next = 0, expected = 0;
    // Chunks of 5 and 7 cross the end of the storage at ever other places; 200 rounds run the
    // counters past 2 * size many times.
    for (int round = 0; round < 200; ++round) {
        const std::uint32_t n = round % 2 ? 7 : 5;
        const auto in = Bytes(n, next);
        ASSERT_EQ(ring.Write(in.data(), n), n);
        next = static_cast<std::uint8_t>(next + n);
        std::array<std::uint8_t, 7> out {};
        ASSERT_EQ(ring.Read(out.data(), n), n);
        for (std::uint32_t i = 0; i < n; ++i) ASSERT_EQ(out[i], expected++) << round;
        ASSERT_EQ(ring.Filled(), 0u);
    }
    // Filled after a wrap: write 12, read 10, write 14 (the last write spans the end).
    const auto a = Bytes(12, 100), b = Bytes(14, 150);
    ring.Write(a.data(), 12);
    std::array<std::uint8_t, 16> out {};
    ring.Read(out.data(), 10);
    EXPECT_EQ(ring.Write(b.data(), 14), 14u);
    EXPECT_EQ(ring.Filled(), 16u);
    const KyAudioRing::Stretches s = ring.PeekRead(16);
    EXPECT_EQ(s.Size(), 16u);
    EXPECT_FALSE(s.second.empty());
    ASSERT_EQ(ring.Read(out.data(), 16), 16u);
    EXPECT_EQ(out[0], 110);
    EXPECT_EQ(out[1], 111);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(out[static_cast<std::size_t>(2 + i)], 150 + i);
}

TEST(KyAudioRing, PeeksMoveNoCounterUntilCommitted)
{
    KyAudioRing ring;
    ASSERT_TRUE(ring.Create(8));
    KyAudioRing::Stretches w = ring.PeekWrite(6);
    ASSERT_EQ(w.Size(), 6u);
    EXPECT_EQ(ring.Filled(), 0u);
    w.first[0] = std::byte {42};
    ring.CommitWrite(6);
    EXPECT_EQ(ring.Filled(), 6u);
    EXPECT_EQ(ring.PeekRead(100).Size(), 6u);
    EXPECT_EQ(ring.PeekRead(100).first[0], std::byte {42});
    EXPECT_EQ(ring.Filled(), 6u);
    ring.Clear();
    EXPECT_EQ(ring.Free(), 8u);
}

}  // namespace
