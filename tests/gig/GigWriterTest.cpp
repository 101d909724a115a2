#include "fixtures/GigWriter.h"

#include <gtest/gtest.h>

#include <array>

#include "fixtures/GigBlockEncoder.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaBytes.h"
#include "tests/gig/GigTestLoader.h"

using namespace testsupport;

namespace {

GigDimensionRegionPlan Uses(std::int32_t sample)
{
    GigDimensionRegionPlan d;
    d.sample = sample;
    return d;
}

GigRegionPlan Region(std::int16_t low, std::int16_t high, std::vector<GigDimensionPlan> dims,
                     std::int32_t sample = 0)
{
    GigRegionPlan r;
    r.lowKey = low;
    r.highKey = high;
    r.dimensions = std::move(dims);
    r.fill = Uses(sample);
    return r;
}

// Every dimension type, spread over two instruments.
GigFilePlan EveryDimension(int version)
{
    GigFilePlan plan;
    plan.version = version;
    GigSamplePlan mono;
    mono.name = "mono16";
    GigSamplePlan stereo;
    stereo.name = "stereo24";
    stereo.channels = 2;
    stereo.bits = 24;
    stereo.frames = 3000;
    stereo.loop = true;
    stereo.loopStart = 100;
    stereo.loopEnd = 2999;
    stereo.sampleRate = 48000;
    plan.samples = {mono, stereo};

    GigInstrumentPlan first;
    first.name = "First";
    first.regions = {
        Region(0, 39, {{gigdim::kSampleChannel, 1}, {gigdim::kVelocity, 3}}, 1),
        Region(40, 59, {{gigdim::kLayer, 1}, {gigdim::kReleaseTrigger, 1}}),
        Region(60, 79, {{gigdim::kKeyboard, 2}, {gigdim::kRoundRobin, 2}}),
        Region(80, 127, {{gigdim::kRandom, 1}, {gigdim::kModWheel, 1}, {gigdim::kSustainPedal, 1}}),
    };
    first.keySwitchLow = 24;
    first.keySwitchHigh = 27;
    // Custom velocity splits: 20, 127 (byte 124 before version 3, dimension limits from 3 on).
    GigRegionPlan velocity = Region(0, 127, {{gigdim::kVelocity, 1}});
    for (int z = 0; z < 2; ++z) {
        GigDimensionRegionPlan d = Uses(0);
        const std::uint8_t limit = z == 0 ? 20 : 127;
        if (version < 3) {
            d.velocityUpperLimit = limit;
        } else {
            d.ewaLength = 148;
            d.dimensionUpperLimits[0] = limit;
        }
        velocity.dimensionRegions.push_back(d);
    }
    GigInstrumentPlan second;
    second.name = "Second";
    second.regions = {velocity};
    plan.instruments = {first, second};
    return plan;
}

std::vector<std::int32_t> Decode(std::span<const std::uint8_t> data, int channels, int bits,
                                 int blockFrames, int blocks);

}  // namespace

TEST(GigWriter, BothVersionsReadBackThroughTheModel)
{
    for (const int version : {2, 3}) {
        SCOPED_TRACE(version);
        TempFolder folder;
        GigWriter(EveryDimension(version)).Write(folder.File("every.gig"));
        QelLog log;
        LoadedGig gig;
        ASSERT_TRUE(LoadGig(folder.File("every.gig"), gig, log));
        EXPECT_EQ(gig.version, version);
        ASSERT_EQ(gig.samples.size(), 2u);
        EXPECT_EQ(gig.samples[0].channels, 1);
        EXPECT_EQ(gig.samples[0].bitsPerSample, 16);
        EXPECT_EQ(gig.samples[0].frameCount, 1000);
        EXPECT_EQ(gig.samples[0].loopEnabled, 0);
        EXPECT_EQ(gig.samples[1].channels, 2);
        EXPECT_EQ(gig.samples[1].bitsPerSample, 24);
        EXPECT_EQ(gig.samples[1].sampleRate, 48000);
        EXPECT_EQ(gig.samples[1].frameCount, 3000);
        EXPECT_EQ(gig.samples[1].loopEnd, 2999);
        EXPECT_EQ(gig.samples[1].refCount, 8);

        ASSERT_EQ(gig.programs.size(), 2u);
        GigaProgram& first = *gig.programs[0];
        EXPECT_EQ(first.name, "First");
        EXPECT_EQ(first.regionCount, 4);
        EXPECT_EQ(first.lowestKey, 0);
        EXPECT_EQ(first.highestKey, 127);
        EXPECT_EQ(first.dimensionKeyLow, 24);
        EXPECT_EQ(first.dimensionKeyHigh, 27);
        auto regions = first.Regions();
        EXPECT_EQ(first.RegionForKey(45), &regions[1]);
        EXPECT_EQ(regions[0].zoneCount, 8);
        EXPECT_EQ(regions[0].sampleChannelDimension, 0);
        EXPECT_EQ(regions[0].Zones()[7].sample, &gig.samples[1]);
        EXPECT_TRUE(regions[1].hasReleaseTrigger);
        EXPECT_EQ(regions[1].zoneCount, 4);
        EXPECT_EQ(regions[2].zoneCount, 16);
        EXPECT_EQ(regions[2].roundRobinStep, 32);
        EXPECT_EQ(regions[3].zoneCount, 8);
        EXPECT_EQ(regions[3].Tree()[0].type, gigdim::kRandom);
        EXPECT_EQ(regions[3].Tree()[0].children[0].type, gigdim::kModWheel);
        for (const std::uint8_t t : {0x80, 0x81, 0x82, 0x84, 0x85, 0x86, 0x87, 0x01, 0x40}) {
            EXPECT_EQ(first.dimensionTypesUsed[t], t);
        }
        EXPECT_EQ(regions[0].Zones()[0].unityNote, 60);
        EXPECT_NEAR(regions[0].Zones()[0].eg1Attack, 0.002f, 1e-5f);
        EXPECT_NEAR(regions[0].Zones()[0].eg1Release, 0.3f, 1e-4f);

        GigaProgram& second = *gig.programs[1];
        EXPECT_EQ(second.name, "Second");
        EXPECT_EQ(second.dimensionKeyLow, 0) << "no keyboard dimension";
        const DimensionNode* tree = second.Regions()[0].Tree();
        EXPECT_EQ(tree[0].upperLimit, 20);
        EXPECT_EQ(tree[1].upperLimit, 127);
    }
}

TEST(GigWriter, SamplesInExtensionFilesContinueThePool)
{
    GigFilePlan plan;
    GigSamplePlan local, far;
    far.file = 1;
    far.frames = 500;
    far.channels = 2;
    plan.samples = {local, far};
    plan.instruments[0].regions[0].fill = Uses(1);
    TempFolder folder;
    const auto written = GigWriter(plan).Write(folder.File("big.gig"));
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1], folder.File("big.gx01"));

    QelLog log;
    LoadedGig gig;
    ASSERT_TRUE(LoadGig(folder.File("big.gig"), gig, log));
    ASSERT_EQ(gig.files.size(), 2u);
    EXPECT_EQ(gig.samples[1].file, gig.files[1].get());
    EXPECT_EQ(gig.samples[1].frameCount, 500);
    EXPECT_EQ(gig.programs[0]->Regions()[0].Zones()[0].sample, &gig.samples[1]);
}

TEST(GigWriter, FilesAreValidRiffOfAtLeastTheMinimumSize)
{
    const GigWriter writer(GigFilePlan {});
    const auto bytes = writer.FileBytes(0);
    ASSERT_GE(bytes.size(), 3000u);
    const GigaBytes b(bytes);
    EXPECT_EQ(b.U32(4) + 8, bytes.size());
}

TEST(GigBlockEncoder, EveryModeDecodesToItsValues)
{
    struct Case {
        int channels, bits;
        std::array<int, 2> modes;
    };
    const std::vector<Case> cases = {
        {1, 16, {0, 0}}, {1, 16, {1, 0}}, {2, 16, {0, 1}}, {2, 16, {1, 1}}, {1, 24, {2, 0}},
        {1, 24, {3, 0}}, {1, 24, {4, 0}}, {1, 24, {5, 0}}, {2, 24, {3, 5}}, {2, 24, {4, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " ch " + std::to_string(c.bits) + " bits mode " +
                     std::to_string(c.modes[0]) + "/" + std::to_string(c.modes[1]));
        const int frames = 768;
        const int blockFrames = 256;
        const auto values = GigWriter::DefaultValues(frames, c.channels, c.bits);
        const auto encoded =
            GigBlockEncoder::Encode(values, c.channels, c.bits, blockFrames, c.modes);
        EXPECT_EQ(encoded.blocks, 3u);
        EXPECT_EQ(encoded.data.size(),
                  3 * GigBlockEncoder::BlockBytes(c.channels, c.bits, blockFrames, c.modes));
        const auto decoded = Decode(encoded.data, c.channels, c.bits, blockFrames, 3);
        ASSERT_EQ(decoded.size(), 3u * blockFrames * c.channels);
        EXPECT_EQ(decoded, values);
    }
}

TEST(GigBlockEncoder, LastBlockRepeatsTheLastFrame)
{
    const std::vector<std::int32_t> values = {1, -2, 3, -4, 5, -6};
    const auto encoded = GigBlockEncoder::Encode(values, 2, 16, 4, {0, 0});
    EXPECT_EQ(Decode(encoded.data, 2, 16, 4, 1),
              (std::vector<std::int32_t> {1, -2, 3, -4, 5, -6, 5, -6}));
}

TEST(GigBlockEncoder, BlockSizesAndUnfitDeltas)
{
    // Stereo 24 bits, modes 3 and 5: two mode bytes, 24 bytes of start values, 2n + n data.
    EXPECT_EQ(GigBlockEncoder::BlockBytes(2, 24, 100, {3, 5}), 2u + 24u + 200u + 100u);
    EXPECT_EQ(GigBlockEncoder::BlockBytes(2, 16, 100, {1, 0}), 2u + 4u + 100u + 200u);
    EXPECT_EQ(GigBlockEncoder::BlockBytes(1, 24, 100, {4, 0}), 1u + 12u + 150u);
    const std::vector<std::int32_t> jump = {0, 0, 20000, 0};
    EXPECT_THROW(GigBlockEncoder::Encode(jump, 1, 16, 4, {1, 0}), std::invalid_argument);
    EXPECT_THROW(GigBlockEncoder::Encode(jump, 1, 24, 4, {5, 0}), std::invalid_argument);
    EXPECT_THROW(GigBlockEncoder::Encode(jump, 1, 16, 4, {2, 0}), std::invalid_argument);
}

TEST(GigWriter, CompressedSamplesDescribeTheirBlocks)
{
    GigFilePlan plan;
    GigSamplePlan stereo;
    stereo.channels = 2;
    stereo.bits = 24;
    stereo.compressed = true;
    stereo.modes = {3, 4};
    stereo.blockFrames = 256;
    stereo.frames = 1000;
    stereo.truncatedBits = 4;
    GigSamplePlan mono;
    mono.compressed = true;
    mono.modes = {1, 0};
    mono.blockFrames = 512;
    mono.frames = 600;
    plan.samples = {stereo, mono};
    TempFolder folder;
    const GigWriter writer(plan);
    writer.Write(folder.File("packed.gig"));
    QelLog log;
    LoadedGig gig;
    ASSERT_TRUE(LoadGig(folder.File("packed.gig"), gig, log));
    EXPECT_EQ(gig.samples[0].blockFrames, 256);
    EXPECT_EQ(gig.samples[0].frameCount, 1024);
    EXPECT_EQ(gig.samples[0].truncatedBits, 4);
    EXPECT_EQ(gig.samples[1].blockFrames, 512);
    EXPECT_EQ(gig.samples[1].frameCount, 1024);

    // The data chunk holds the blocks as encoded.
    const auto bytes = writer.FileBytes(0);
    const auto& s = gig.samples[0];
    const std::span<const std::uint8_t> data(bytes.data() + s.dataOffset,
                                             static_cast<std::size_t>(s.dataSize));
    const auto decoded = Decode(data, 2, 24, 256, 4);
    const auto values = writer.Values(0);
    for (std::size_t i = 0; i < values.size(); ++i) ASSERT_EQ(decoded[i], values[i]) << i;
}

namespace {

// Reference decoder of the block layouts, interleaved output.
std::vector<std::int32_t> Decode(std::span<const std::uint8_t> data, int channels, int bits,
                                 int blockFrames, int blocks)
{
    const GigaBytes b(data);
    std::size_t p = 0;
    auto s24 = [&](std::size_t o) {
        return static_cast<std::int32_t>((b.U8(o) | b.U8(o + 1) << 8 | b.U8(o + 2) << 16) << 8) >>
               8;
    };
    std::vector<std::int32_t> out;
    for (int block = 0; block < blocks; ++block) {
        std::array<int, 2> mode {};
        for (int c = 0; c < channels; ++c) mode[c] = b.U8(p++);
        std::array<std::array<std::int64_t, 4>, 2> st {};
        for (int c = 0; c < channels; ++c) {
            if (bits == 16 && mode[c] == 1) {
                st[c][1] = b.S16(p), st[c][2] = b.S16(p + 2), p += 4;
            } else if (bits == 24 && mode[c] > 2) {
                const std::int64_t a = s24(p), b2 = s24(p + 3);
                st[c] = {a, a - b2, s24(p + 6), s24(p + 9)};
                p += 12;
            }
        }
        std::vector<std::int32_t> frames(static_cast<std::size_t>(blockFrames) * channels);
        if (bits == 16) {
            for (int f = 0; f < blockFrames; ++f) {
                for (int c = 0; c < channels; ++c) {
                    std::int32_t v;
                    if (mode[c] == 0) {
                        v = b.S16(p), p += 2;
                    } else {
                        const auto d = static_cast<std::int8_t>(b.U8(p++));
                        st[c][2] -= d;
                        st[c][1] -= st[c][2];
                        v = static_cast<std::int16_t>(st[c][1]);
                    }
                    frames[static_cast<std::size_t>(f) * channels + c] = v;
                }
            }
        } else {
            for (int c = 0; c < channels; ++c) {
                auto& [w, x, y, z] = st[c];
                for (int f = 0; f < blockFrames; ++f) {
                    std::int64_t d = 0;
                    if (mode[c] == 2) {
                        frames[static_cast<std::size_t>(f) * channels + c] = s24(p), p += 3;
                        continue;
                    }
                    if (mode[c] == 3) {
                        d = b.S16(p), p += 2;
                    } else if (mode[c] == 5) {
                        d = static_cast<std::int8_t>(b.U8(p++));
                    } else if (f % 2 == 0) {
                        d = static_cast<std::int32_t>((b.U8(p) | (b.U8(p + 1) & 0x0F) << 8)
                                                      << 20) >>
                            20;
                    } else {
                        d = static_cast<std::int32_t>((b.U8(p + 1) >> 4 | b.U8(p + 2) << 4)
                                                      << 20) >>
                            20;
                        p += 3;
                    }
                    z -= d;
                    y -= z;
                    x = -(x + y);
                    w += x;
                    frames[static_cast<std::size_t>(f) * channels + c] =
                        static_cast<std::int32_t>(w);
                }
            }
        }
        out.insert(out.end(), frames.begin(), frames.end());
    }
    return out;
}

}  // namespace
