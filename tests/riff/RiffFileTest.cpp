// The program's own RIFF files: CExpRiff writes, CImpRiff reads.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "fixtures/TempFolder.h"
#include "riff/CExpRiff.h"
#include "riff/CImpRiff.h"
#include "tests/riff/RiffImage.h"

namespace {

using namespace rifftest;

class RiffFileTest : public ::testing::Test {
protected:
    Bytes FileBytes()
    {
        std::vector<char> raw = testsupport::ReadFileBytes(path);
        return Bytes(raw.begin(), raw.end());
    }
    testsupport::TempFolder folder;
    std::string path = folder.File("perf.mrp");
};

TEST_F(RiffFileTest, OddChunksAreNeitherPaddedNorRounded)
{
    CExpRiff out;
    ASSERT_TRUE(out.Create(path));
    ASSERT_TRUE(out.StartChunk("RIFF", "KyPF"));
    ASSERT_TRUE(out.StartChunk("five"));
    for (unsigned char b : Text("12345")) ASSERT_TRUE(out.WriteByte(b));
    ASSERT_TRUE(out.EndChunk());
    ASSERT_TRUE(out.StartChunk("strs"));
    ASSERT_TRUE(out.WriteString("abc"));    // 3 bytes and a zero
    ASSERT_TRUE(out.WriteString("ab"));     // even: no zero
    ASSERT_TRUE(out.WriteString("xy", 5));  // 5 bytes and a zero
    ASSERT_TRUE(out.WriteInt(-2));
    ASSERT_TRUE(out.EndChunk());
    ASSERT_TRUE(out.EndChunk());
    ASSERT_TRUE(out.Close());

    const Bytes expected = List("RIFF", "KyPF",
                                {Chunk("five", Text("12345"), false),
                                 Chunk("strs", Bytes {'a', 'b', 'c', 0, 'a', 'b', 'x', 'y', 0, 0, 0,
                                                      0, 0xFE, 0xFF, 0xFF, 0xFF})},
                                false);
    EXPECT_EQ(FileBytes(), expected);

    CImpRiff in;
    ASSERT_TRUE(in.OpenRiff(path));
    ASSERT_TRUE(in.OpenChunk(0));
    EXPECT_TRUE(in.ChunkCmp("RIFF", "KyPF"));
    ASSERT_TRUE(in.OpenChunk(1));
    EXPECT_TRUE(in.ChunkCmp("five"));
    EXPECT_EQ(in.ChunkSize(), 5);
    ASSERT_TRUE(in.OpenChunk(1));
    EXPECT_EQ(in.DataStart(), 12 + 8 + 5 + 8);  // advanced 5, not 6
    EXPECT_TRUE(in.ChunkCmp("strs"));
    std::array<char, 8> text {};
    ASSERT_TRUE(in.ReadString(text, 0));
    EXPECT_STREQ(text.data(), "abc");
    ASSERT_TRUE(in.ReadString(text, 2));
    EXPECT_STREQ(text.data(), "ab");
    std::array<char, 3> small {};
    ASSERT_TRUE(in.ReadString(small, 6));  // cut to what fits, all 6 bytes consumed
    EXPECT_STREQ(small.data(), "xy");
    std::int32_t value = 0;
    ASSERT_TRUE(in.Read(&value, 4, 1));
    EXPECT_EQ(value, -2);
    EXPECT_FALSE(in.Read(&value, 4, 1));
    EXPECT_FALSE(in.OpenChunk(1));
    EXPECT_FALSE(in.OpenChunk(0));
}

// Size words already on disk, inside the unwritten block, and straddling the block boundary
// must all be patched.
TEST_F(RiffFileTest, BackPatchesSizesAcrossTheBlockBoundary)
{
    CExpRiff out;
    ASSERT_TRUE(out.Create(path));
    ASSERT_TRUE(out.StartChunk("RIFF", "KyPF"));  // size word at 4
    ASSERT_TRUE(out.StartChunk("pad1"));          // header at 12
    const Bytes filler = Filler(4090 - 20);
    ASSERT_TRUE(out.WriteBytes(std::as_bytes(std::span(filler))));
    ASSERT_TRUE(out.EndChunk());
    ASSERT_TRUE(out.StartChunk("LIST", "strd"));  // size word 4094..4097 straddles the boundary
    ASSERT_TRUE(out.StartChunk("in  "));          // size word in the unwritten block
    ASSERT_TRUE(out.WriteInt(0x01020304));
    ASSERT_TRUE(out.EndChunk());
    ASSERT_TRUE(out.EndChunk());
    const Bytes big = Filler(9000, 0x11);
    ASSERT_TRUE(out.StartChunk("big "));
    ASSERT_TRUE(out.WriteBytes(std::as_bytes(std::span(big))));
    ASSERT_TRUE(out.EndChunk());  // its size word is on disk by now
    ASSERT_TRUE(out.EndChunk());  // and so is the form's
    ASSERT_TRUE(out.Close());

    const Bytes expected =
        List("RIFF", "KyPF",
             {Chunk("pad1", filler), List("LIST", "strd", {Chunk("in  ", Bytes {4, 3, 2, 1})}),
              Chunk("big ", big)});
    const Bytes written = FileBytes();
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_EQ(GetU32(written, 4), GetU32(expected, 4));
    EXPECT_EQ(GetU32(written, 4094), 16u);
    EXPECT_EQ(GetU32(written, 4106), 4u);
    EXPECT_EQ(written, expected);
}

TEST_F(RiffFileTest, ExactBlockMultipleIsWrittenWhole)
{
    CExpRiff out;
    ASSERT_TRUE(out.Create(path));
    ASSERT_TRUE(out.StartChunk("RIFF", "KyPF"));
    const Bytes filler = Filler(8192 - 12);
    ASSERT_TRUE(out.WriteBytes(std::as_bytes(std::span(filler))));
    ASSERT_TRUE(out.EndChunk());
    ASSERT_TRUE(out.Close());
    const Bytes written = FileBytes();
    ASSERT_EQ(written.size(), 8192u);
    EXPECT_EQ(GetU32(written, 4), 8192u - 8);
    EXPECT_EQ(written.back(), 0x5A);
}

TEST_F(RiffFileTest, WriterMisuseIsRefusedAndReported)
{
    CExpRiff out;
    EXPECT_FALSE(out.StartChunk("RIFF"));  // not open
    EXPECT_FALSE(out.WriteInt(1));
    ASSERT_TRUE(out.Create(path));
    EXPECT_FALSE(out.EndChunk());
    EXPECT_FALSE(out.StartChunk("TOOLONG"));
    for (int i = 0; i < CExpRiff::kMaxOpenChunks; ++i) ASSERT_TRUE(out.StartChunk("LIST", "nest"));
    EXPECT_FALSE(out.StartChunk("LIST", "nest"));
    EXPECT_FALSE(out.Close());  // chunks left open
    EXPECT_FALSE(out.Create(folder.File("no/such/folder/x.mrp")));
}

TEST_F(RiffFileTest, MalformedAndTruncatedFilesEndCleanly)
{
    CImpRiff in;
    EXPECT_FALSE(in.OpenRiff(folder.File("missing.mrp")));
    EXPECT_FALSE(in.OpenChunk(0));
    char byte = 0;
    EXPECT_FALSE(in.Read(&byte, 1, 1));

    // A truncated file: the form claims more than there is, a child claims more than its parent.
    Bytes truncated = List("RIFF", "KyPF", {Chunk("data", Filler(100), false, 5000)});
    truncated.resize(60);
    ASSERT_TRUE(testsupport::WriteFileBytes(path, truncated.data(), truncated.size()));
    ASSERT_TRUE(in.OpenRiff(path));
    EXPECT_FALSE(in.OpenChunk(0));

    Bytes lying = List("RIFF", "KyPF", {Chunk("data", Filler(100), false, 5000)});
    ASSERT_TRUE(testsupport::WriteFileBytes(path, lying.data(), lying.size()));
    ASSERT_TRUE(in.OpenRiff(path));
    ASSERT_TRUE(in.OpenChunk(0));
    EXPECT_FALSE(in.OpenChunk(1));
    EXPECT_FALSE(in.OpenChunk(3));  // skipping a level

    // A file of fewer bytes than a header, and an unterminated string at the end.
    const Bytes tiny = Text("RIF");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, tiny.data(), tiny.size()));
    ASSERT_TRUE(in.OpenRiff(path));
    EXPECT_FALSE(in.OpenChunk(0));
    std::array<char, 8> text {};
    EXPECT_TRUE(in.ReadString(text, 0));
    EXPECT_STREQ(text.data(), "RIF");
    EXPECT_FALSE(in.ReadString(text, 0));
}

}  // namespace
