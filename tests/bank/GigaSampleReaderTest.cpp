#include "sample/GigaSampleReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/GigBlockEncoder.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaFile.h"
#include "gig/GigaSample.h"
#include "riff/InputStreamFile.h"
#include "tests/bank/MemoryInput.h"

using namespace testsupport;

namespace {

constexpr int kBlockFrames = 256;
constexpr int kFrames = 4 * kBlockFrames;

struct Format {
    int channels, bits;
    bool compressed;
    std::array<int, 2> modes;
    int truncatedBits;
};

void PrintTo(const Format& f, std::ostream* os)
{
    *os << f.channels << "ch" << f.bits << "bit";
    if (f.compressed) *os << "Mode" << f.modes[0] << f.modes[1] << "Cut" << f.truncatedBits;
}

template <typename T>
int ReadInto(GigaSampleReader& reader, std::span<T> dst, int frames)
{
    if constexpr (std::is_same_v<T, float>) {
        return reader.ReadFloats(dst, frames);
    } else {
        return reader.ReadShorts(dst, frames);
    }
}

// Reads the whole sample in pieces of `step` frames.
template <typename T>
std::vector<T> ReadInSteps(GigaSampleReader& reader, int channels, int step)
{
    std::vector<T> out(static_cast<std::size_t>(kFrames) * channels);
    for (int done = 0; done < kFrames;) {
        const int n = std::min(step, kFrames - done);
        const int got = ReadInto(reader, std::span(out).subspan(std::size_t(done) * channels), n);
        EXPECT_EQ(got, n) << "at frame " << done << " in steps of " << step;
        if (got != n) break;
        done += n;
    }
    return out;
}

class SampleReaderFormats : public ::testing::TestWithParam<Format> {};

}  // namespace

TEST_P(SampleReaderFormats, DecodesWhatTheWriterStoredInAnyReadSize)
{
    const Format f = GetParam();
    GigSamplePlan plan;
    plan.channels = f.channels;
    plan.bits = f.bits;
    plan.frames = kFrames;
    plan.compressed = f.compressed;
    plan.blockFrames = kBlockFrames;
    plan.modes = f.modes;
    plan.truncatedBits = f.truncatedBits;
    // Truncated samples are stored with fewer bits.
    plan.values = GigWriter::DefaultValues(kFrames, f.channels, f.bits);
    for (auto& v : plan.values) v >>= f.truncatedBits;
    GigFilePlan filePlan;
    filePlan.samples = {plan};
    TempFolder folder;
    GigWriter(filePlan).Write(folder.File("s.gig"));
    GigaFile file;
    GigaSample sample;
    ASSERT_TRUE(file.Open(folder.File("s.gig")));
    ASSERT_EQ(file.ReadWavePool(std::span(&sample, 1)), 1);
    ASSERT_EQ(sample.frameCount, kFrames);

    GigaSampleReader reader;
    // Steps of 3 and 7 split blocks and 12-bit pairs; the values must not depend on them.
    for (const int step : {kFrames, 3, 7}) {
        ASSERT_TRUE(reader.Open(sample, file.Input(), sample.dataOffset));
        const auto shorts = ReadInSteps<std::int16_t>(reader, f.channels, step);
        EXPECT_EQ(reader.Position(), std::int64_t {sample.dataOffset} + sample.dataSize);
        const int shift = f.bits == 16 ? 0 : f.compressed ? 8 - f.truncatedBits : 8;
        for (std::size_t i = 0; i < shorts.size(); ++i) {
            ASSERT_EQ(shorts[i], static_cast<std::int16_t>(plan.values[i] >> shift)) << i;
        }
    }
    ASSERT_TRUE(reader.Open(sample, file.Input(), sample.dataOffset));
    if (f.truncatedBits == 8) {
        EXPECT_FLOAT_EQ(reader.Scale(), 1.0f / 32767.0f);
    }
    const float scale = f.bits == 16   ? 1.0f / 32767.0f
                        : f.compressed ? reader.Scale()
                                       : GigaSampleReader::kDefaultScale;
    const auto floats = ReadInSteps<float>(reader, f.channels, 5);
    for (std::size_t i = 0; i < floats.size(); ++i) {
        ASSERT_FLOAT_EQ(floats[i], static_cast<float>(plan.values[i]) * scale) << i;
    }
    std::array<std::int16_t, 2> more {};
    EXPECT_EQ(reader.ReadShorts(more, 1), 0);
    EXPECT_FALSE(reader.Failed());
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, SampleReaderFormats,
    ::testing::Values(Format {1, 16, false, {0, 0}, 0}, Format {2, 16, false, {0, 0}, 0},
                      Format {2, 24, false, {2, 2}, 0}, Format {1, 16, true, {0, 0}, 0},
                      Format {2, 16, true, {1, 0}, 0}, Format {1, 24, true, {2, 2}, 0},
                      Format {2, 24, true, {3, 5}, 0}, Format {2, 24, true, {4, 4}, 0},
                      Format {1, 24, true, {4, 4}, 4}, Format {2, 24, true, {5, 2}, 8},
                      Format {2, 24, true, {2, 4}, 8}));

namespace {

// A compressed sample held in memory, so its blocks can be damaged at will.
struct InMemory {
    InMemory(int bits, int blockFrames, std::array<int, 2> modes, int blocks)
        : input(GigBlockEncoder::Encode(GigWriter::DefaultValues(blocks * blockFrames, 2, bits), 2,
                                        bits, blockFrames, modes)
                    .data),
          blockBytes(GigBlockEncoder::BlockBytes(2, bits, blockFrames, modes))
    {
        sample.bitsPerSample = bits;
        sample.blockFrames = blockFrames;
        sample.frameCount = blocks * blockFrames;
        sample.dataSize = static_cast<std::int32_t>(input.Size());
    }
    MemoryInput input;
    GigaSample sample;
    std::size_t blockBytes;
};

}  // namespace

TEST(GigaSampleReader, DamagedBlocksStopTheReadInsideItsBuffers)
{
    // A mode foreign to the bit depth in block 2 ends the read after block 1.
    for (const auto& [bits, modes, bad] :
         {std::tuple {16, std::array {1, 1}, 3}, std::tuple {24, std::array {3, 3}, 1},
          std::tuple {24, std::array {5, 5}, 9}}) {
        InMemory c(bits, 64, modes, 3);
        c.input.bytes[c.blockBytes] = static_cast<std::uint8_t>(bad);
        GigaSampleReader reader;
        ASSERT_TRUE(reader.Open(c.sample, c.input, 0));
        std::vector<std::int16_t> dst(3 * 64 * 2 + 16, 0x5A5A);
        EXPECT_EQ(reader.ReadShorts(dst, 3 * 64), 64) << bits << "-bit mode " << bad;
        EXPECT_TRUE(reader.Failed());
        EXPECT_EQ(dst[64 * 2], 0x5A5A);
        EXPECT_EQ(reader.ReadShorts(dst, 1), 0);  // stays stopped until opened again
    }

    // Stereo 24-bit plain blocks of 2000 frames need 12002 bytes: only the mode bytes are read.
    InMemory large(24, 2000, {2, 2}, 1);
    GigaSampleReader reader;
    ASSERT_TRUE(reader.Open(large.sample, large.input, 0));
    std::vector<float> floats(4000);
    EXPECT_EQ(reader.ReadFloats(floats, 2000), 0);
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(large.input.Tell(), 2);

    // A block count promising more than the 'data' chunk holds: the read ends at the chunk.
    InMemory shortData(16, 64, {1, 1}, 2);
    shortData.sample.dataSize = static_cast<std::int32_t>(shortData.blockBytes + 10);
    ASSERT_TRUE(reader.Open(shortData.sample, shortData.input, 0));
    EXPECT_EQ(reader.ReadFloats(floats, 100), 64);
    EXPECT_FALSE(reader.Failed());
    EXPECT_LE(shortData.input.Tell(), shortData.sample.dataSize);
}

TEST(GigaSampleReader, PlainReadsStayInsideTheDataChunkAndTheDestination)
{
    GigaSample plain;
    plain.bitsPerSample = 24;
    plain.dataOffset = 4;
    plain.dataSize = 6 * 5 + 4;  // five stereo frames and a partial one
    MemoryInput input(std::vector<std::uint8_t>(200, 0x11));
    GigaSampleReader reader;
    std::vector<std::int16_t> shorts(40);
    ASSERT_TRUE(reader.Open(plain, input, 4));
    EXPECT_EQ(reader.ReadShorts(shorts, 20), 5);
    EXPECT_EQ(input.Tell(), 4 + 30);
    ASSERT_TRUE(reader.Open(plain, input, 4));
    EXPECT_EQ(reader.ReadShorts(std::span(shorts).first(5), 20), 2);

    EXPECT_FALSE(reader.Open(plain, input, 39));  // outside the data
    EXPECT_EQ(reader.ReadShorts(shorts, 1), 0);
    plain.channels = 3;
    EXPECT_FALSE(reader.Open(plain, input, 4));
    plain.channels = 2;
    plain.bitsPerSample = 8;
    EXPECT_FALSE(reader.Open(plain, input, 4));
}

// A reader that reads ahead (the preloads') against one that reads block by block (the
// streams'): the same values and the same position after every step, never a byte read past the
// data, and the same stop at damaged or missing data.
TEST_P(SampleReaderFormats, ReadingAheadChangesNothingButTheReads)
{
    const Format f = GetParam();
    GigSamplePlan plan;
    plan.channels = f.channels;
    plan.bits = f.bits;
    plan.frames = kFrames;
    plan.compressed = f.compressed;
    plan.blockFrames = kBlockFrames;
    plan.modes = f.modes;
    plan.truncatedBits = f.truncatedBits;
    GigFilePlan filePlan;
    filePlan.samples = {plan, plan};  // a second sample after the first, so reading on is possible
    TempFolder folder;
    GigWriter(filePlan).Write(folder.File("s.gig"));
    GigaFile file;
    std::array<GigaSample, 2> samples;
    ASSERT_TRUE(file.Open(folder.File("s.gig")));
    ASSERT_EQ(file.ReadWavePool(samples), 2);
    const GigaSample& sample = samples[0];
    const std::int64_t dataEnd = std::int64_t {sample.dataOffset} + sample.dataSize;

    GigaSampleReader exact;
    GigaSampleReader ahead(GigaSampleReader::kBlockBytes * 3);
    InputStreamFile input;
    ASSERT_TRUE(input.Open(folder.File("s.gig")));
    ASSERT_TRUE(exact.Open(sample, file.Input(), sample.dataOffset));
    ASSERT_TRUE(ahead.Open(sample, input, sample.dataOffset));
    std::vector<float> a(kFrames * 2), b(kFrames * 2);
    for (int done = 0, step = 1; done < kFrames; done += step, step = step * 3 + 1) {
        const int n = std::min(step, kFrames - done);
        const auto at = std::size_t(done) * f.channels;
        ASSERT_EQ(exact.ReadFloats(std::span(a).subspan(at), n), n);
        ASSERT_EQ(ahead.ReadFloats(std::span(b).subspan(at), n), n);
        EXPECT_EQ(ahead.Position(), exact.Position()) << "after frame " << done + n;
        EXPECT_LE(input.Tell(), dataEnd);
    }
    EXPECT_EQ(a, b);
    EXPECT_EQ(ahead.ReadFloats(b, 1), 0);
    EXPECT_FALSE(ahead.Failed());
}

TEST(GigaSampleReader, ReadingAheadStopsAtDamagedOrMissingData)
{
    InMemory damaged(24, 64, {3, 3}, 3);
    damaged.input.bytes[damaged.blockBytes] = 1;
    GigaSampleReader reader(GigaSampleReader::kPreloadReadAhead);
    std::vector<std::int16_t> dst(3 * 64 * 2, 0x5A5A);
    ASSERT_TRUE(reader.Open(damaged.sample, damaged.input, 0));
    EXPECT_EQ(reader.ReadShorts(dst, 3 * 64), 64);
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(dst[64 * 2], 0x5A5A);

    InMemory shortData(16, 64, {1, 1}, 2);
    shortData.sample.dataSize = static_cast<std::int32_t>(shortData.blockBytes + 10);
    ASSERT_TRUE(reader.Open(shortData.sample, shortData.input, 0));
    EXPECT_EQ(reader.ReadShorts(dst, 100), 64);
    EXPECT_FALSE(reader.Failed());
    EXPECT_LE(shortData.input.Tell(), shortData.sample.dataSize);
    EXPECT_EQ(reader.Position(), std::int64_t(shortData.blockBytes));
}
