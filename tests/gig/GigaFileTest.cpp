#include "gig/GigaFile.h"

#include <gtest/gtest.h>

#include <vector>

#include "fixtures/GigChunkBuilder.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaSample.h"

using namespace testsupport;

TEST(GigaFile, FindsItsWavePoolAndFillsAtMostTheRoomGiven)
{
    GigFilePlan plan;
    plan.samples = {GigSamplePlan {}, GigSamplePlan {}, GigSamplePlan {}};
    plan.samples[2].frames = 333;
    TempFolder folder;
    GigWriter(plan).Write(folder.File("pool.gig"));
    const auto bytes = ReadFileBytes(folder.File("pool.gig"));

    GigaFile file;
    ASSERT_TRUE(file.Open(folder.File("pool.gig")));
    const auto at = static_cast<std::size_t>(file.WavePoolOffset());
    ASSERT_LT(at + 12, bytes.size());
    EXPECT_EQ(std::string(bytes.data() + at, 4), "LIST");
    EXPECT_EQ(std::string(bytes.data() + at + 8, 4), "wvpl");

    std::vector<GigaSample> two(2);
    EXPECT_EQ(file.ReadWavePool(two), 2);
    EXPECT_EQ(two[1].file, &file);
    std::vector<GigaSample> all(5);
    GigaFile again;
    ASSERT_TRUE(again.Open(folder.File("pool.gig"), file.WavePoolOffset()));
    EXPECT_EQ(again.ReadWavePool(all), 3);
    EXPECT_EQ(all[2].frameCount, 333);
    EXPECT_EQ(all[3].file, nullptr);
    // The sample's data offset points at its first value.
    const auto values = GigWriter(plan).Values(2);
    const auto* first = bytes.data() + all[2].dataOffset;
    EXPECT_EQ(static_cast<std::int16_t>(static_cast<std::uint8_t>(first[0]) |
                                        static_cast<std::uint8_t>(first[1]) << 8),
              values[0]);
}

TEST(GigaFile, RefusesFilesWithoutAWavePool)
{
    TempFolder folder;
    GigChunkBuilder riff;
    riff.Open("RIFF", "DLS ").Chunk("JUNK", std::vector<std::uint8_t>(4000)).Close();
    ASSERT_TRUE(WriteFileBytes(folder.File("empty.gig"), riff.Bytes().data(), riff.Size()));
    GigChunkBuilder other;
    other.Open("RIFF", "WAVE").Chunk("JUNK", std::vector<std::uint8_t>(4000)).Close();
    ASSERT_TRUE(WriteFileBytes(folder.File("other.gig"), other.Bytes().data(), other.Size()));

    GigaFile file;
    EXPECT_FALSE(file.Open(folder.File("empty.gig")));
    EXPECT_FALSE(file.Open(folder.File("other.gig")));
    EXPECT_FALSE(file.Open(folder.File("missing.gig")));
    std::vector<GigaSample> samples(1);
    EXPECT_EQ(file.ReadWavePool(samples), 0);
}
