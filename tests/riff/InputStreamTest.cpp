#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "fixtures/TempFolder.h"
#include "riff/InputStreamFile.h"
#include "riff/InputStreamFileBuffered.h"

namespace {

using testsupport::TempFolder;

std::vector<unsigned char> Pattern(std::size_t n)
{
    std::vector<unsigned char> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + (i >> 8));
    return bytes;
}

class InputStreamFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = Pattern(3 * 4096 + 123);
        path = folder.File("data.bin");
        ASSERT_TRUE(testsupport::WriteFileBytes(path, data.data(), data.size()));
    }
    TempFolder folder;
    std::string path;
    std::vector<unsigned char> data;
};

// Random mixes of small and large reads and seeks (inside and outside the buffered range) must
// return exactly the file's bytes.
TEST_F(InputStreamFixture, BufferedReadsAndSeeksMatchTheFile)
{
    InputStreamFileBuffered in;
    ASSERT_TRUE(in.Open(path));
    EXPECT_EQ(in.Size(), static_cast<std::int64_t>(data.size()));
    std::mt19937 random(42);
    std::vector<unsigned char> got(9000);
    for (int step = 0; step < 2000; ++step) {
        if (random() % 4 == 0) {
            std::int64_t target = random() % (data.size() + 10);
            if (random() % 2) target = in.Tell() + static_cast<int>(random() % 64) - 32;
            in.Seek(std::max<std::int64_t>(target, 0));
        }
        const std::int64_t at = in.Tell();
        const std::int64_t n = random() % 8 == 0 ? random() % 9000 : random() % 40;
        const std::int64_t expected =
            std::clamp<std::int64_t>(static_cast<std::int64_t>(data.size()) - at, 0, n);
        ASSERT_EQ(in.Read(got.data(), n), expected) << "at " << at << " n " << n;
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + expected, data.begin() + at));
        ASSERT_EQ(in.Tell(), at + expected);
    }
}

TEST_F(InputStreamFixture, ReadsReachingTheEndReportWhatCame)
{
    InputStreamFileBuffered buffered;
    InputStreamFile plain;
    for (InputStreamFile* in : {static_cast<InputStreamFile*>(&buffered), &plain}) {
        ASSERT_TRUE(in->Open(path));
        std::vector<unsigned char> got(200);
        in->Seek(in->Size() - 50);
        EXPECT_EQ(in->Read(got.data(), 200), 50);
        EXPECT_EQ(in->Tell(), in->Size());
        EXPECT_EQ(in->Read(got.data(), 200), 0);
        in->Skip(1000);
        EXPECT_EQ(in->Read(got.data(), 1), 0);
        in->Seek(0);
        EXPECT_EQ(in->Read(got.data(), 4), 4);
        EXPECT_EQ(got[1], data[1]);
    }
}

TEST_F(InputStreamFixture, OpenFailsForMissingFilesAndFolders)
{
    InputStreamFileBuffered in;
    EXPECT_FALSE(in.Open(folder.File("missing.bin")));
    EXPECT_FALSE(in.Open(folder.Path()));
    EXPECT_FALSE(in.IsOpen());
    unsigned char byte = 0;
    EXPECT_EQ(in.Read(&byte, 1), 0);
    // A failed open after a good one leaves nothing open.
    ASSERT_TRUE(in.Open(path));
    EXPECT_FALSE(in.Open(folder.File("missing.bin")));
    EXPECT_EQ(in.Read(&byte, 1), 0);
    EXPECT_EQ(in.Size(), 0);
}

}  // namespace
