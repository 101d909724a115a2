#include "gig/GigaRegion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "fixtures/GigChunkBuilder.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaChunkContext.h"
#include "gig/GigaProgram.h"
#include "gig/GigaSample.h"

using testsupport::GigChunkBuilder;

namespace {

struct Dim {
    std::uint8_t type;
    std::uint8_t bits;
};

// A '3lnk' with the given definitions and wave pool index i for dimension region i.
std::vector<std::uint8_t> Links(int version, const std::vector<Dim>& dims, std::uint32_t count,
                                std::uint32_t firstIndex = 0)
{
    GigChunkBuilder p;
    p.U32(count);
    const std::size_t definitions = version < 3 ? 5 : 8;
    for (std::size_t i = 0; i < definitions; ++i) {
        if (i < dims.size()) {
            p.U8(dims[i].type).U8(dims[i].bits).Zeros(6);
        } else {
            p.Zeros(8);
        }
    }
    for (std::uint32_t i = 0; i < count; ++i) p.U32(firstIndex + i);
    return p.Bytes();
}

std::vector<std::uint8_t> Ewa(std::uint32_t length, std::uint8_t velocityLimit,
                              std::array<std::uint8_t, 8> limits = {})
{
    std::vector<std::uint8_t> e(length, 0);
    e[0] = static_cast<std::uint8_t>(length);
    if (length > 124) e[124] = velocityLimit;
    if (length >= 148) std::copy(limits.begin(), limits.end(), e.begin() + 140);
    return e;
}

std::vector<std::uint8_t> Header(int low, int high)
{
    GigChunkBuilder p;
    p.U16(static_cast<std::uint16_t>(low)).U16(static_cast<std::uint16_t>(high)).Zeros(8);
    return p.Bytes();
}

class GigaRegionTest : public ::testing::Test {
protected:
    QelLog log;
    GigaChunkContext v2 {log, "old.gig", 2};
    GigaChunkContext v3 {log, "new.gig", 3};
    std::vector<GigaSample> pool = std::vector<GigaSample>(300);
};

}  // namespace

TEST_F(GigaRegionTest, IndexTableFollowsFiveOrEightDefinitions)
{
    const std::vector<Dim> dims {{0x82, 2}};
    const auto old = Links(2, dims, 4, 10);
    ASSERT_EQ(old.size(), 44u + 16u);
    GigaRegion a;
    ASSERT_TRUE(a.ReadLinks(old, 300, v2));
    EXPECT_EQ(a.zoneCount, 4);
    EXPECT_EQ(a.Zones()[3].sampleIndex, 13);

    const auto current = Links(3, dims, 4, 20);
    ASSERT_EQ(current.size(), 68u + 16u);
    GigaRegion b;
    ASSERT_TRUE(b.ReadLinks(current, 300, v3));
    EXPECT_EQ(b.Zones()[0].sampleIndex, 20);
    EXPECT_EQ(b.Zones()[3].sampleIndex, 23);

    // The version 3 layout read as version 2 would take definition bytes for indices.
    GigaRegion c;
    ASSERT_TRUE(c.ReadLinks(current, 1 << 30, v2));
    EXPECT_NE(c.Zones()[0].sampleIndex, 20);
}

TEST_F(GigaRegionTest, SampleChannelHalvesTheZones)
{
    GigaRegion region;
    ASSERT_TRUE(region.ReadLinks(Links(3, {{0x80, 1}, {0x82, 3}}, 16), 300, v3));
    EXPECT_EQ(region.zoneCount, 8);
    EXPECT_EQ(region.dimensionCount, 1);
    EXPECT_EQ(region.sampleChannelDimension, 0);
    EXPECT_EQ(region.NodeCount(), 9);
    for (int z = 0; z < 8; ++z) EXPECT_EQ(region.Zones()[z].sampleIndex, 2 * z) << z;

    // Odd dimension regions (the second channel) are not read at all.
    std::vector<std::uint8_t> wsmp(20, 0);
    wsmp[4] = 50;
    ASSERT_TRUE(region.ReadDimensionRegion(5, wsmp, {}, pool, v3));
    EXPECT_EQ(region.Zones()[2].unityNote, -1);
    ASSERT_TRUE(region.ReadDimensionRegion(4, wsmp, {}, pool, v3));
    EXPECT_EQ(region.Zones()[2].unityNote, 50);
    EXPECT_EQ(region.ZoneOfDimensionRegion(15), -1);
    EXPECT_EQ(region.ZoneOfDimensionRegion(14), 7);
}

TEST_F(GigaRegionTest, SampleChannelAfterAnotherDimensionStillPairsChannels)
{
    // Velocity (1 bit) first, then the sample channel: dimension regions 0, 1 are the velocity
    // zones of the left channel, 2 and 3 their right channel.
    GigaRegion region;
    ASSERT_TRUE(region.ReadLinks(Links(3, {{0x82, 1}, {0x80, 1}}, 4), 300, v3));
    EXPECT_EQ(region.zoneCount, 2);
    EXPECT_EQ(region.ZoneOfDimensionRegion(1), 1);
    EXPECT_EQ(region.ZoneOfDimensionRegion(2), -1);
    EXPECT_EQ(region.Zones()[1].sampleIndex, 1);
}

TEST_F(GigaRegionTest, TreeLevelsStridesAndMixedRadixZones)
{
    GigaRegion region;
    ASSERT_TRUE(region.ReadLinks(Links(3, {{0x82, 2}, {0x86, 1}}, 8), 300, v3));
    EXPECT_EQ(region.zoneCount, 8);
    EXPECT_EQ(region.dimensionCount, 2);
    EXPECT_EQ(region.strides[0], 1);
    EXPECT_EQ(region.strides[1], 4);
    EXPECT_EQ(region.roundRobinStep, 64);
    EXPECT_EQ(region.NodeCount(), 4 + 8 + 1);
    const DimensionNode* root = region.Tree();
    ASSERT_NE(root, nullptr);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(root[k].type, 0x82);
        EXPECT_EQ(root[k].upperLimit, 32 * (k + 1) - 1);
        ASSERT_NE(root[k].children, nullptr);
        EXPECT_EQ(root[k].zone, nullptr);
        for (int r = 0; r < 2; ++r) {
            const DimensionNode& leaf = root[k].children[r];
            EXPECT_EQ(leaf.type, 0x86);
            EXPECT_EQ(leaf.upperLimit, 64 * (r + 1) - 1);
            EXPECT_EQ(leaf.children, nullptr);
            const int zone = region.ZoneIndex(std::array {k, r});
            EXPECT_EQ(zone, k + 4 * r);
            EXPECT_EQ(leaf.zone, &region.Zones()[zone]);
            EXPECT_EQ(leaf.zone->sampleIndex, zone) << "dimension region index = zone index";
        }
    }
    EXPECT_EQ(region.ZoneIndex(std::array {4, 0}), -1);
}

TEST_F(GigaRegionTest, UpperLimitsFollowTheZonesPath)
{
    GigaRegion region;
    ASSERT_TRUE(region.ReadLinks(Links(3, {{0x82, 2}, {0x86, 1}}, 8), 300, v3));
    ASSERT_TRUE(region.ReadDimensionRegion(5, {}, Ewa(148, 40), pool, v3));
    const DimensionNode* root = region.Tree();
    EXPECT_EQ(root[1].upperLimit, 40);
    EXPECT_EQ(root[1].children[1].upperLimit, 127) << "velocity limit only on velocity nodes";
    ASSERT_TRUE(region.ReadDimensionRegion(6, {}, Ewa(148, 0, {100, 50}), pool, v3));
    EXPECT_EQ(root[2].upperLimit, 100);
    EXPECT_EQ(root[2].children[1].upperLimit, 50);
    EXPECT_EQ(root[2].children[0].upperLimit, 63);

    // With a sample channel first, its byte is passed over.
    GigaRegion stereo;
    ASSERT_TRUE(stereo.ReadLinks(Links(3, {{0x80, 1}, {0x82, 1}}, 4), 300, v3));
    ASSERT_TRUE(stereo.ReadDimensionRegion(0, {}, Ewa(148, 0, {7, 30}), pool, v3));
    EXPECT_EQ(stereo.Tree()[0].upperLimit, 30);
}

TEST_F(GigaRegionTest, RegionsWithoutDimensionsOrLinks)
{
    GigaRegion plain;
    ASSERT_TRUE(plain.ReadLinks(Links(3, {}, 1, 7), 300, v3));
    EXPECT_EQ(plain.zoneCount, 1);
    EXPECT_EQ(plain.Tree(), nullptr);
    EXPECT_EQ(plain.Zones()[0].sampleIndex, 7);

    GigaRegion none;
    EXPECT_TRUE(none.Zones().empty());
    EXPECT_FALSE(none.ReadDimensionRegion(0, {}, {}, pool, v3));

    GigaRegion release;
    ASSERT_TRUE(release.ReadLinks(Links(3, {{0x84, 1}}, 2), 300, v3));
    EXPECT_TRUE(release.hasReleaseTrigger);
    EXPECT_EQ(release.roundRobinStep, 0);

    // "No sample" is not an error.
    GigChunkBuilder noSample;
    noSample.U32(1).Zeros(64).U32(0xFFFFFFFF);
    GigaRegion silent;
    ASSERT_TRUE(silent.ReadLinks(noSample.Bytes(), 300, v3));
    EXPECT_EQ(silent.Zones()[0].sampleIndex, -1);
}

TEST_F(GigaRegionTest, OutOfRangeLinksAreRefusedWithTheFileName)
{
    testsupport::TempFolder folder;
    ASSERT_TRUE(QelLog::OpenSink(folder.File("log.txt")));
    EXPECT_FALSE(GigaRegion().ReadLinks(Links(3, {{0x82, 7}, {0x81, 1}}, 257), 300, v3));
    EXPECT_FALSE(GigaRegion().ReadLinks(Links(3, {{0x82, 8}}, 256), 300, v3));
    EXPECT_FALSE(GigaRegion().ReadLinks(Links(3, {{0x82, 5}, {0x81, 4}}, 256), 300, v3));
    EXPECT_FALSE(GigaRegion().ReadLinks(Links(3, {{0x80, 1}, {0x80, 1}}, 4), 300, v3));
    EXPECT_FALSE(GigaRegion().ReadLinks(Links(3, {{0x82, 1}}, 2, 299), 300, v3));
    auto cut = Links(3, {{0x82, 2}}, 4);
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(GigaRegion().ReadLinks(cut, 300, v3));
    EXPECT_FALSE(GigaRegion().ReadLinks({}, 300, v3));

    GigaRegion region;
    ASSERT_TRUE(region.ReadLinks(Links(3, {{0x82, 1}}, 2), 300, v3));
    EXPECT_FALSE(region.ReadLinks(Links(3, {{0x82, 1}}, 2), 300, v3)) << "second '3lnk'";
    EXPECT_FALSE(region.ReadDimensionRegion(2, {}, {}, pool, v3));
    EXPECT_FALSE(region.ReadDimensionRegion(-1, {}, {}, pool, v3));

    EXPECT_FALSE(GigaRegion().ReadHeader(Header(0, 128), v3));
    EXPECT_FALSE(GigaRegion().ReadHeader(Header(-1, 10), v3));
    GigaRegion keys;
    ASSERT_TRUE(keys.ReadHeader(Header(0, 127), v3));
    QelLog::CloseSink();

    const auto text = testsupport::ReadFileBytes(folder.File("log.txt"));
    const std::string log(text.begin(), text.end());
    EXPECT_NE(log.find("GigaRegion::ReadLinks(new.gig): 257 dimension regions"), std::string::npos)
        << log;
    EXPECT_NE(log.find("wave pool index 300 of 300"), std::string::npos);
    EXPECT_NE(log.find("GigaRegion::ReadHeader(new.gig): key range 0..128"), std::string::npos);
}

TEST_F(GigaRegionTest, FirstLoopingZoneLendsItsLoopToTheSample)
{
    pool[0].frameCount = 1000;
    pool[1].frameCount = 1000;
    pool[1].loopEnabled = 1, pool[1].loopStart = 5, pool[1].loopEnd = 9;
    GigChunkBuilder links;
    links.U32(4).U8(0x82).U8(2).Zeros(62).U32(0).U32(0).U32(1).U32(0);
    GigaRegion region;
    ASSERT_TRUE(region.ReadLinks(links.Bytes(), 300, v3));

    auto loop = [](std::int32_t start, std::uint32_t length) {
        GigChunkBuilder p;
        p.U32(20).U16(60).U16(0).U32(0).U32(0).U32(1).U32(16).U32(0);
        p.U32(static_cast<std::uint32_t>(start)).U32(length);
        return p.Bytes();
    };
    ASSERT_TRUE(region.ReadDimensionRegion(0, loop(100, 2000), {}, pool, v3));
    EXPECT_EQ(pool[0].loopEnabled, 1);
    EXPECT_EQ(pool[0].loopStart, 100);
    EXPECT_EQ(pool[0].loopEnd, 999) << "handed-over loops are kept inside the sample";
    ASSERT_TRUE(region.ReadDimensionRegion(1, loop(200, 10), {}, pool, v3));
    EXPECT_EQ(pool[0].loopStart, 100) << "the first looping zone wins";
    ASSERT_TRUE(region.ReadDimensionRegion(2, loop(300, 10), {}, pool, v3));
    EXPECT_EQ(pool[1].loopStart, 5) << "a sample's own loop stays";
    EXPECT_EQ(region.Zones()[2].loopStart, 300);
}

TEST_F(GigaRegionTest, DamagedChunksAreRefusedOrDecodedWithinBounds)
{
    std::mt19937 random(12345);
    auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFF); };
    auto oneIn = [&](unsigned n) { return random() % n == 0; };
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        // Mostly plausible chunks, so the tree code is reached as often as the refusals.
        GigChunkBuilder links;
        const std::uint32_t count = oneIn(8) ? random() : random() % 300;
        links.U32(count);
        for (int d = 0; d < 8; ++d) {
            const std::uint8_t type = oneIn(3) ? 0 : byte();
            const auto bits = static_cast<std::uint8_t>(oneIn(6) ? random() % 9 : random() % 2);
            links.U8(type).U8(bits).Zeros(6);
        }
        for (std::uint32_t i = 0; i < std::min<std::uint32_t>(count, 300); ++i) {
            links.U32(oneIn(4) ? 0xFFFFFFFF : (oneIn(500) ? 300 : random() % 300));
        }
        auto bytes = links.Bytes();
        if (oneIn(8)) bytes.resize(random() % (bytes.size() + 8));
        GigaRegion region;
        if (!region.ReadLinks(bytes, 300, v3)) continue;
        ++accepted;

        ASSERT_LE(region.zoneCount, 256);
        std::vector<int> reached(static_cast<std::size_t>(region.zoneCount), 0);
        if (const DimensionNode* tree = region.Tree()) {
            std::vector<const DimensionNode*> level;
            for (int k = 0; k < region.zoneCounts[0]; ++k) level.push_back(tree + k);
            for (int j = 0; j < region.dimensionCount; ++j) {
                std::vector<const DimensionNode*> next;
                for (const DimensionNode* node : level) {
                    ASSERT_GE(node, region.nodes.get());
                    ASSERT_LT(node, region.nodes.get() + region.NodeCount());
                    if (j + 1 == region.dimensionCount) {
                        const auto zone = node->zone - region.zones.get();
                        ASSERT_GE(zone, 0);
                        ASSERT_LT(zone, region.zoneCount);
                        ++reached[static_cast<std::size_t>(zone)];
                    } else {
                        for (int k = 0; k < region.zoneCounts[j + 1]; ++k) {
                            next.push_back(node->children + k);
                        }
                    }
                }
                level = std::move(next);
            }
            for (const int n : reached) EXPECT_EQ(n, 1) << "every zone has exactly one leaf";
        }
        for (int i = 0; i < 260; ++i) {
            std::vector<std::uint8_t> wsmp(random() % 40), ewa(random() % 200);
            for (auto& b : wsmp) b = byte();
            for (auto& b : ewa) b = byte();
            region.ReadDimensionRegion(i, wsmp, ewa, pool, v3);
        }
        for (const GigaZone& zone : region.Zones()) {
            EXPECT_TRUE(zone.sampleIndex == -1 ||
                        (zone.sampleIndex >= 0 && zone.sampleIndex < 300));
        }
    }
    EXPECT_GT(accepted, 300) << "the rounds should reach the tree, not only the refusals";
}
