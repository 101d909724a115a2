#include <gtest/gtest.h>

#include <vector>

#include "fixtures/GigChunkBuilder.h"
#include "gig/GigaChunkContext.h"
#include "gig/GigaProgram.h"
#include "gig/GigaSample.h"
#include "gig/GigaSampleDecoder.h"
#include "sample/GigaMemory.h"

using testsupport::GigChunkBuilder;

namespace {

std::vector<std::uint8_t> U32s(std::initializer_list<std::uint32_t> values)
{
    GigChunkBuilder p;
    for (const auto v : values) p.U32(v);
    return p.Bytes();
}

std::vector<std::uint8_t> Header(int low, int high)
{
    GigChunkBuilder p;
    p.U16(static_cast<std::uint16_t>(low)).U16(static_cast<std::uint16_t>(high)).Zeros(8);
    return p.Bytes();
}

std::vector<std::uint8_t> Format(int channels, int rate, int bits)
{
    GigChunkBuilder p;
    p.U16(1).U16(static_cast<std::uint16_t>(channels)).U32(static_cast<std::uint32_t>(rate));
    p.U32(0).U16(0).U16(static_cast<std::uint16_t>(bits));
    return p.Bytes();
}

std::vector<std::uint8_t> SampleLoop(std::int32_t fraction, std::uint32_t loops, std::int32_t start,
                                     std::int32_t end)
{
    GigChunkBuilder p;
    p.U32(0).U32(0).U32(0).U32(62).U32(static_cast<std::uint32_t>(fraction)).U32(0).U32(0);
    p.U32(loops).U32(0).U32(0).U32(0);
    p.U32(static_cast<std::uint32_t>(start)).U32(static_cast<std::uint32_t>(end)).U32(0).U32(0);
    return p.Bytes();
}

std::vector<std::uint8_t> Extension(std::uint32_t version, std::uint32_t blockFrames,
                                    std::uint32_t word, int mono, int stereo)
{
    std::vector<std::uint8_t> e(92, 0);
    GigChunkBuilder p;
    p.U32(version).U32(0).U32(blockFrames).U32(word);
    std::copy(p.Bytes().begin(), p.Bytes().end(), e.begin());
    e[64] = static_cast<std::uint8_t>(mono);
    e[84] = static_cast<std::uint8_t>(stereo);
    return e;
}

int hookTotal = 0;
void CountStreamUsers(int delta)
{
    hookTotal += delta;
}

class GigaProgramSampleTest : public ::testing::Test {
protected:
    QelLog log;
    GigaChunkContext context {log, "bank.gig", 3};
};

}  // namespace

TEST_F(GigaProgramSampleTest, KeyMapLaterRegionsWinAndUnloadForgetsThem)
{
    GigaProgram program;
    ASSERT_TRUE(program.ReadInstrumentHeader(U32s({3}), context));
    ASSERT_EQ(program.regionCount, 3);
    auto regions = program.Regions();
    ASSERT_TRUE(regions[0].ReadHeader(Header(10, 20), context));
    ASSERT_TRUE(regions[1].ReadHeader(Header(15, 30), context));
    ASSERT_TRUE(regions[2].ReadHeader(Header(50, 40), context));  // empty range maps nothing
    EXPECT_EQ(program.RegionForKey(9), nullptr);
    EXPECT_EQ(program.RegionForKey(14), &regions[0]);
    EXPECT_EQ(program.RegionForKey(15), &regions[1]);
    EXPECT_EQ(program.RegionForKey(30), &regions[1]);
    EXPECT_EQ(program.RegionForKey(45), nullptr);
    EXPECT_EQ(program.RegionForKey(128), nullptr);
    EXPECT_EQ(program.lowestKey, 10);
    EXPECT_EQ(program.highestKey, 40);
    EXPECT_FALSE(program.ReadInstrumentHeader(U32s({1}), context)) << "already loaded";

    program.Unload();
    EXPECT_FALSE(program.Loaded());
    EXPECT_EQ(program.RegionForKey(15), nullptr);
    EXPECT_TRUE(program.ReadInstrumentHeader(U32s({GigaProgram::kMaxRegions}), context));
    program.Unload();
    EXPECT_FALSE(program.ReadInstrumentHeader(U32s({GigaProgram::kMaxRegions + 1}), context));
}

TEST_F(GigaProgramSampleTest, GroupNameAndKeySwitchRange)
{
    GigaProgram program;
    GigChunkBuilder group;
    group.U16(0).U32(0).U16(0).U16(static_cast<std::uint16_t>(-12)).U8(36 << 1 | 1).U8(47);
    program.ReadGroup(group.Bytes());
    EXPECT_EQ(program.pitchBendRange, -12);
    EXPECT_EQ(program.dimensionKeyLow, 36);
    EXPECT_EQ(program.dimensionKeyHigh, 47);
    const std::string raw = "Grand \xE9\xB4";
    program.ReadName({reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()});
    EXPECT_EQ(program.name, "Grand  '");

    program.dimensionTypesUsed[0x85] = 0x85;
    program.FinishLoad();
    EXPECT_EQ(program.dimensionKeyLow, 36);
    program.dimensionTypesUsed[0x85] = 0;
    program.FinishLoad();
    EXPECT_EQ(program.dimensionKeyLow, 0);
    EXPECT_EQ(program.dimensionKeyHigh, 0);
}

TEST_F(GigaProgramSampleTest, HoldersAreCountedAndStreamingProgramsTellTheHook)
{
    GigaProgram::SetStreamUserHook(&CountStreamUsers);
    hookTotal = 0;
    GigaProgram program;
    ASSERT_TRUE(program.ReadInstrumentHeader(U32s({1}), context));
    program.needsStreaming = true;
    EXPECT_EQ(program.Retain(), 1);
    EXPECT_EQ(program.Retain(), 2);
    EXPECT_EQ(hookTotal, 2);
    EXPECT_EQ(program.Release(), 1);
    EXPECT_TRUE(program.Loaded());
    EXPECT_EQ(program.Release(), 0);
    EXPECT_EQ(hookTotal, 0);
    EXPECT_FALSE(program.Loaded());
    EXPECT_EQ(program.Release(), 0) << "no count below zero";
    EXPECT_EQ(hookTotal, 0);
    GigaProgram::SetStreamUserHook(nullptr);
}

TEST_F(GigaProgramSampleTest, ZoneDimensionTypesAreRecorded)
{
    GigaProgram program;
    ASSERT_TRUE(program.ReadInstrumentHeader(U32s({1}), context));
    GigChunkBuilder links;
    links.U32(4).U8(0x80).U8(1).Zeros(6).U8(0x85).U8(1).Zeros(54).U32(0).U32(0).U32(0).U32(0);
    ASSERT_TRUE(program.Regions()[0].ReadLinks(links.Bytes(), 1, context));
    EXPECT_EQ(program.dimensionTypesUsed[0x80], 0x80);
    EXPECT_EQ(program.dimensionTypesUsed[0x85], 0x85);
    EXPECT_EQ(program.dimensionTypesUsed[0x82], 0);
}

TEST_F(GigaProgramSampleTest, PlainSampleFramesLoopAndTuning)
{
    GigaSample sample;
    GigaSampleDecoder decoder(sample);
    decoder.ReadFormat(Format(2, 48000, 24));
    decoder.ReadSampleLoop(SampleLoop(INT32_MIN, 1, 100, 5000));
    decoder.ReadData(1234, 6 * 1000 + 1);
    ASSERT_TRUE(decoder.Finish(context));
    EXPECT_EQ(sample.channels, 2);
    EXPECT_EQ(sample.sampleRate, 48000);
    EXPECT_EQ(sample.bitsPerSample, 24);
    EXPECT_EQ(sample.unityNote, 62);
    EXPECT_EQ(sample.fineTune, -50);
    EXPECT_EQ(sample.dataOffset, 1234);
    EXPECT_EQ(sample.dataSize, 6002);
    EXPECT_EQ(sample.frameCount, 1000);
    EXPECT_EQ(sample.loopEnabled, 1);
    EXPECT_EQ(sample.loopStart, 100);
    EXPECT_EQ(sample.loopEnd, 999);
    EXPECT_FALSE(sample.Compressed());

    GigaSample inverted;
    GigaSampleDecoder second(inverted);
    second.ReadFormat(Format(1, 44100, 16));
    second.ReadSampleLoop(SampleLoop(0, 1, 3000, 5000));
    second.ReadData(0, 2000);
    ASSERT_TRUE(second.Finish(context));
    EXPECT_EQ(inverted.loopEnabled, 0);
}

TEST_F(GigaProgramSampleTest, CompressedFrameCountsAndTruncatedBits)
{
    GigaSample stereo;
    GigaSampleDecoder decoder(stereo);
    decoder.ReadExtension(Extension(3, 256, 10, 5, 6));
    decoder.ReadFormat(Format(2, 44100, 24));
    decoder.ReadData(0, 5000);
    ASSERT_TRUE(decoder.Finish(context));
    EXPECT_EQ(stereo.blockFrames, 256);
    EXPECT_EQ(stereo.blockCountField, 8);
    EXPECT_EQ(stereo.frameCount, 8 * 256 / 2);
    EXPECT_EQ(stereo.truncatedBits, 6);

    GigaSample mono;
    GigaSampleDecoder monoDecoder(mono);
    monoDecoder.ReadFormat(Format(1, 44100, 24));
    monoDecoder.ReadExtension(Extension(3, 256, 5, 5, 6));
    ASSERT_TRUE(monoDecoder.Finish(context));
    EXPECT_EQ(mono.blockCountField, 5) << "5 is not above 5";
    EXPECT_EQ(mono.truncatedBits, 5);

    GigaSample plain16;
    GigaSampleDecoder plainDecoder(plain16);
    plainDecoder.ReadFormat(Format(1, 44100, 16));
    plainDecoder.ReadExtension(Extension(3, 0, 0, 5, 6));
    plainDecoder.ReadData(0, 400);
    ASSERT_TRUE(plainDecoder.Finish(context));
    EXPECT_EQ(plain16.truncatedBits, 0) << "only 24-bit samples have truncated bits";
    EXPECT_EQ(plain16.frameCount, 200);
}

TEST_F(GigaProgramSampleTest, UnplayableFormatsKeepNoFrames)
{
    struct Case {
        int channels, rate, bits;
        std::vector<std::uint8_t> extension;
    };
    const std::vector<Case> cases = {
        {0, 44100, 16, {}},
        {3, 44100, 16, {}},
        {1, 44100, 8, {}},
        {1, 0, 16, {}},
        {2, 44100, 24, Extension(3, 2000, 10, 0, 0)},  // block beyond 8192 bytes
        {2, 44100, 24, Extension(3, 256, 10, 0, 9)},   // more truncated bits than a byte
        {1, 44100, 16, Extension(3, 0x7FFFFFF, 0xFFFFFFFF, 0, 0)},
    };
    for (const auto& c : cases) {
        GigaSample sample;
        GigaSampleDecoder decoder(sample);
        decoder.ReadFormat(Format(c.channels, c.rate, c.bits));
        if (!c.extension.empty()) decoder.ReadExtension(c.extension);
        decoder.ReadData(0, 100000);
        EXPECT_FALSE(decoder.Finish(context)) << c.channels << " " << c.bits;
        EXPECT_FALSE(sample.Playable());
    }
}

TEST_F(GigaProgramSampleTest, ZonesLinkOnlyPlayableSamplesAndCountThemOnce)
{
    GigaMemory memory;
    GigaSample shortSample, sample;
    shortSample.frameCount = 100;
    sample.frameCount = 128;
    sample.memory = &memory;
    {
        GigaZone silent;
        EXPECT_FALSE(silent.LinkSample(shortSample));
        EXPECT_EQ(silent.sample, nullptr);
        EXPECT_EQ(shortSample.refCount, 0);

        GigaZone a, b;
        a.loopEnabled = 1, a.loopStart = 10, a.loopEnd = 500;
        ASSERT_TRUE(a.LinkSample(sample));
        EXPECT_EQ(a.loopEnd, 127);
        ASSERT_TRUE(b.LinkSample(sample));
        EXPECT_EQ(sample.refCount, 2);
        EXPECT_EQ(memory.UserCount(), 1) << "the record counts samples, not zones";
        b.UnlinkSample();
        EXPECT_EQ(sample.refCount, 1);
        EXPECT_EQ(memory.UserCount(), 1);
    }
    EXPECT_EQ(sample.refCount, 0);
    EXPECT_EQ(memory.UserCount(), 0);

    // A record without blocks is forgotten at the next load.
    sample.loaded = true;
    sample.ForgetStaleMemory();
    EXPECT_EQ(sample.memory, nullptr);
    EXPECT_FALSE(sample.loaded);
}
