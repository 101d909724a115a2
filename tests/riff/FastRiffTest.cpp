#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "fixtures/TempFolder.h"
#include "riff/CImpRiff.h"
#include "riff/FastRiff.h"
#include "tests/riff/RiffImage.h"

namespace {

using namespace rifftest;

class FastRiffTest : public ::testing::Test {
protected:
    // Writes the image, padded with a trailing 'JUNK' chunk inside the form up to 3000 bytes
    // when `children` make it shorter.
    std::string WriteForm(std::vector<Bytes> children, std::string_view type = "DLS ")
    {
        Bytes probe = List("RIFF", type, children);
        if (probe.size() < 3000) children.push_back(Chunk("JUNK", Filler(3000 - probe.size())));
        return WriteRaw(List("RIFF", type, children));
    }
    std::string WriteRaw(const Bytes& bytes)
    {
        std::string path = folder.File("f" + std::to_string(++files) + ".gig");
        EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes.data(), bytes.size()));
        return path;
    }
    // Runs OpenChunk and reports whether it threw the parser's error text.
    static bool Throws(FastRiff& riff, int level)
    {
        try {
            riff.OpenChunk(level);
        } catch (const char* text) {
            return std::string(text) == "Error in file";
        }
        return false;
    }

    testsupport::TempFolder folder;
    int files = 0;
};

TEST_F(FastRiffTest, RefusesFilesShorterThan3000Bytes)
{
    FastRiff riff;
    EXPECT_FALSE(riff.OpenRiff(WriteRaw(Chunk("RIFF", Filler(2999 - 8), false))));
    EXPECT_TRUE(riff.OpenRiff(WriteRaw(Chunk("RIFF", Filler(3000 - 8)))));
    EXPECT_FALSE(riff.OpenRiff(folder.File("missing.gig")));
    EXPECT_FALSE(riff.IsOpen());
}

TEST_F(FastRiffTest, WalksTheTreeAndRoundsOddSizes)
{
    FastRiff riff;
    ASSERT_TRUE(riff.OpenRiff(WriteForm({
        Chunk("vers", Text("12345")),  // odd: padded to 6
        List("LIST", "lins", {List("LIST", "ins ", {Chunk("insh", Filler(12))})}),
        Chunk("ptbl", Filler(8)),
    })));
    ASSERT_TRUE(riff.OpenChunk(0));
    EXPECT_TRUE(riff.ChunkCmp("RIFF", "DLS "));
    EXPECT_FALSE(riff.ChunkCmp("RIFF", "gig "));

    // OpenChunk(1) right after the form reads its first child.
    ASSERT_TRUE(riff.OpenChunk(1));
    EXPECT_TRUE(riff.ChunkCmp("vers"));
    EXPECT_EQ(riff.ChunkSize(), 6);
    const std::int64_t payload = riff.Tell();
    char text[5];
    EXPECT_EQ(riff.Read(text, 1, 5), 5);
    EXPECT_EQ(std::string(text, 5), "12345");

    ASSERT_TRUE(riff.OpenChunk(1));
    EXPECT_EQ(riff.Tell(), payload + 6 + 8 + 4);  // pad byte, next header, list type
    EXPECT_TRUE(riff.ChunkCmp("LIST", "lins"));
    EXPECT_TRUE(riff.ChunkCmp({}, "lins"));
    ASSERT_TRUE(riff.OpenChunk(2));
    EXPECT_TRUE(riff.ChunkCmp("LIST", "ins "));
    ASSERT_TRUE(riff.OpenChunk(3));
    EXPECT_TRUE(riff.ChunkCmp("insh"));
    EXPECT_EQ(riff.ListType(), std::string_view("\0\0\0\0", 4));
    EXPECT_FALSE(riff.OpenChunk(3));  // the 'ins ' list is exhausted
    EXPECT_FALSE(riff.OpenChunk(2));  // and so is 'lins'
    ASSERT_TRUE(riff.OpenChunk(1));   // back to the form's next child
    EXPECT_TRUE(riff.ChunkCmp("ptbl"));
    ASSERT_TRUE(riff.OpenChunk(1));
    EXPECT_TRUE(riff.ChunkCmp("JUNK"));
    EXPECT_FALSE(riff.OpenChunk(1));
    EXPECT_FALSE(riff.OpenChunk(0));  // the form ends at the end of the file

    riff.Rewind();
    ASSERT_TRUE(riff.OpenChunk(0));
    EXPECT_TRUE(riff.ChunkCmp("RIFF", "DLS "));
}

TEST_F(FastRiffTest, EmptyListHasNoChildren)
{
    FastRiff riff;
    ASSERT_TRUE(riff.OpenRiff(WriteForm({List("LIST", "lrgn", {}), Chunk("next", Filler(4))})));
    ASSERT_TRUE(riff.OpenChunk(0));
    ASSERT_TRUE(riff.OpenChunk(1));
    EXPECT_TRUE(riff.ChunkCmp("LIST", "lrgn"));
    EXPECT_FALSE(riff.OpenChunk(2));  // must not read the sibling as a child
    ASSERT_TRUE(riff.OpenChunk(1));
    EXPECT_TRUE(riff.ChunkCmp("next"));
}

TEST_F(FastRiffTest, OddChunkAtTheEndOfItsParentMayLackThePad)
{
    // The form's size counts the odd payload without a pad byte, and the file ends there.
    Bytes form;
    PutId(form, "RIFF");
    PutU32(form, 4 + 8 + 2991);
    PutId(form, "DLS ");
    Bytes last = Chunk("data", Filler(2991), false);
    form.insert(form.end(), last.begin(), last.end());
    FastRiff riff;
    ASSERT_TRUE(riff.OpenRiff(WriteRaw(form)));
    ASSERT_TRUE(riff.OpenChunk(0));
    ASSERT_TRUE(riff.OpenChunk(1));
    EXPECT_EQ(riff.ChunkSize(), 2992);
    EXPECT_FALSE(riff.OpenChunk(1));
    EXPECT_FALSE(riff.OpenChunk(0));
}

TEST_F(FastRiffTest, MalformedTreesThrowTheParserError)
{
    FastRiff riff;
    // An identifier with a byte that is not a letter, digit or space.
    ASSERT_TRUE(riff.OpenRiff(WriteForm({Chunk("ab\x01z", Filler(4))})));
    ASSERT_TRUE(riff.OpenChunk(0));
    EXPECT_TRUE(Throws(riff, 1));

    // A child larger than its parent.
    ASSERT_TRUE(riff.OpenRiff(WriteForm(
        {List("LIST", "lins", {Chunk("insh", Filler(8), true, 100)}), Chunk("x   ", {})})));
    ASSERT_TRUE(riff.OpenChunk(0));
    ASSERT_TRUE(riff.OpenChunk(1));
    EXPECT_TRUE(Throws(riff, 2));

    // A form whose size points past the end of the file (a truncated file).
    ASSERT_TRUE(riff.OpenRiff(WriteRaw(Chunk("RIFF", Filler(3000), true, 0x7FFFFFF0))));
    EXPECT_TRUE(Throws(riff, 0));

    // A list too small to hold its list type.
    ASSERT_TRUE(riff.OpenRiff(WriteForm({Chunk("LIST", Filler(2))})));
    ASSERT_TRUE(riff.OpenChunk(0));
    EXPECT_TRUE(Throws(riff, 1));
}

TEST_F(FastRiffTest, NestingDeeperThanTheEndTableThrows)
{
    Bytes inner = Chunk("leaf", Filler(4));
    for (int i = 0; i < FastRiff::kMaxLevels; ++i) inner = List("LIST", "deep", {inner});
    FastRiff riff;
    ASSERT_TRUE(riff.OpenRiff(WriteForm({inner})));
    int level = 0;
    bool threw = false;
    try {
        while (riff.OpenChunk(level)) ++level;
    } catch (const char*) {
        threw = true;
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(level, FastRiff::kMaxLevels);
}

}  // namespace

namespace {

// Offsets past 2 GiB (a sparse file, so it costs no disk) must neither overflow nor wrap.
TEST(LargeRiffTest, ChunksBeyondTwoGibibytesAreReached)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("large.gig");
    constexpr std::uint32_t kJunk = 0x90000000u;
    const std::int64_t tailAt = 12 + 8 + std::int64_t {kJunk};
    {
        Bytes head;
        PutId(head, "RIFF");
        PutU32(head, static_cast<std::uint32_t>(tailAt + 8 + 4 - 8));
        PutId(head, "DLS ");
        PutId(head, "JUNK");
        PutU32(head, kJunk);
        Bytes tail = Chunk("tail", Text("abcd"));
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(head.data()), head.size());
        out.seekp(tailAt);
        out.write(reinterpret_cast<const char*>(tail.data()), tail.size());
        ASSERT_TRUE(out.good());
    }
    FastRiff fast;
    ASSERT_TRUE(fast.OpenRiff(path));
    EXPECT_EQ(fast.FileSize(), tailAt + 12);
    ASSERT_TRUE(fast.OpenChunk(0));
    ASSERT_TRUE(fast.OpenChunk(1));
    EXPECT_EQ(fast.ChunkSize(), std::int64_t {kJunk});
    ASSERT_TRUE(fast.OpenChunk(1));
    EXPECT_TRUE(fast.ChunkCmp("tail"));
    EXPECT_EQ(fast.Tell(), tailAt + 8);
    char text[4];
    EXPECT_EQ(fast.ReadBytes(text, 4), 4);
    EXPECT_EQ(std::string(text, 4), "abcd");
    EXPECT_FALSE(fast.OpenChunk(1));
    EXPECT_FALSE(fast.OpenChunk(0));

    CImpRiff own;
    ASSERT_TRUE(own.OpenRiff(path));
    ASSERT_TRUE(own.OpenChunk(0));
    ASSERT_TRUE(own.OpenChunk(1));
    ASSERT_TRUE(own.OpenChunk(1));
    EXPECT_TRUE(own.ChunkCmp("tail"));
    ASSERT_TRUE(own.Read(text, 1, 4));
    EXPECT_EQ(std::string(text, 4), "abcd");
}

}  // namespace
