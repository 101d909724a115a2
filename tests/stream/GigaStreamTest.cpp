// Streams on their own, driven by hand as the disk thread would drive them.
#include "stream/GigaStream.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <array>

#include <cstdio>
#include <vector>

#include "stream/GigaStreamPool.h"
#include "tests/stream/StreamRig.h"

namespace {

using namespace streamtest;

// Everything a stream produces, refilling and pulling until it stops giving.
std::vector<float> Drain(GigaStream& stream)
{
    std::array<float, GigaStream::kRefillValues> scratch {};
    std::vector<float> out;
    for (;;) {
        const int made = stream.Refill(scratch);
        const int have = static_cast<int>(stream.FilledBytes() / sizeof(float));
        if (made == 0 && have == 0) return out;
        std::vector<float> part(static_cast<std::size_t>(have));
        EXPECT_TRUE(stream.Pull(part.data(), have));
        out.insert(out.end(), part.begin(), part.end());
    }
}

TEST(GigaStream, ContinuesEveryFormatRightAfterItsPreload)
{
    testsupport::TempFolder folder;
    for (const Format f : {Format {2, 16, false, {0, 0}}, Format {1, 24, false, {2, 2}},
                           Format {2, 16, true, {1, 0}}, Format {2, 24, true, {3, 5}}}) {
        SCOPED_TRACE(Name(f));
        const std::string path = WriteGig(folder, "s.gig", {SamplePlan(f, 5000)});
        PreloadedFile file(path, 1, 1000);
        ASSERT_TRUE(file.Ok());
        GigaSample& s = file.Sample();
        // A compressed head is cut to whole blocks: the stream starts at a block's mode bytes.
        EXPECT_EQ(s.preloadFrames, f.compressed ? 768 : 1000);
        if (!f.compressed) {
            EXPECT_EQ(s.streamOffset, s.dataOffset + 1000 * f.channels * f.bits / 8);
        }
        const int frames = s.frameCount;
        EXPECT_EQ(frames, f.compressed ? 4864 : 5000);
        const std::vector<float> whole = file.DecodeAll();
        ASSERT_EQ(whole.size(), static_cast<std::size_t>(frames * f.channels));

        GigaStream* stream = GigaStreamPool::Of(file.File()).TakeStream();
        ASSERT_NE(stream, nullptr);
        ASSERT_TRUE(stream->Start(s));
        EXPECT_FALSE(stream->Finished());
        EXPECT_EQ(stream->RemainingValues(), (frames - s.preloadFrames) * f.channels);
        const std::vector<float> streamed = Drain(*stream);
        ASSERT_EQ(streamed.size(),
                  static_cast<std::size_t>((frames - s.preloadFrames) * f.channels));
        for (std::size_t i = 0; i < streamed.size(); ++i)
            ASSERT_EQ(streamed[i], whole[s.preloadFrames * f.channels + i]) << i;
        stream->Finish();
        stream->Recycle();
    }
}

TEST(GigaStream, RefillsAtMostABlockOfValuesAndOnlyIntoRoom)
{
    testsupport::TempFolder folder;
    const std::string path = WriteGig(folder, "s.gig", {SamplePlan({2, 16, false, {0, 0}}, 44100)});
    PreloadedFile file(path, 1, 100);
    ASSERT_TRUE(file.Ok());
    GigaStream* stream = GigaStreamPool::Of(file.File()).TakeStream();
    ASSERT_TRUE(stream->Start(file.Sample()));
    std::array<float, GigaStream::kRefillValues> scratch {};
    int passes = 0;
    while (stream->Refill(scratch) == GigaStream::kRefillValues) ++passes;
    // 64 KiB hold 16384 floats; a refill needs room for a whole 1024.
    EXPECT_EQ(passes, 16);
    EXPECT_EQ(stream->FilledBytes(), GigaStream::kRingBytes);
    std::vector<float> out(20000);
    EXPECT_FALSE(stream->Pull(out.data(), 16385));  // all or nothing
    EXPECT_EQ(stream->FilledBytes(), GigaStream::kRingBytes);
    EXPECT_TRUE(stream->Pull(out.data(), 1000));
    EXPECT_EQ(stream->Refill(scratch), 0);  // 4000 bytes free
    EXPECT_GE(stream->FilledBytes(), GigaStream::kReachableBytes)
        << "what offline renders wait for";
    EXPECT_TRUE(stream->Pull(out.data(), 24));
    EXPECT_EQ(stream->Refill(scratch), GigaStream::kRefillValues);
    stream->Finish();
    stream->Recycle();
}

TEST(GigaStream, AFileCutShortEndsTheStreamWithWhatWasThere)
{
    testsupport::TempFolder folder;
    const std::string path = WriteGig(folder, "s.gig", {SamplePlan({1, 16, false, {0, 0}}, 20000)});
    PreloadedFile file(path, 1, 1000);
    ASSERT_TRUE(file.Ok());
    // The data chunk promises 20000 frames; the file now ends 5000 frames in.
    const std::int64_t cut = file.Sample().dataOffset + 5000 * 2;
    ASSERT_EQ(truncate(path.c_str(), cut), 0);
    GigaStream* stream = GigaStreamPool::Of(file.File()).TakeStream();
    stream->Start(file.Sample());
    const std::vector<float> streamed = Drain(*stream);
    EXPECT_LE(streamed.size(), 4000u);
    EXPECT_EQ(stream->RemainingValues(), 0);
    float none = 0.0f;
    EXPECT_FALSE(stream->Pull(&none, 1));
    stream->Finish();
    stream->Recycle();
}

TEST(GigaStream, ADamagedBlockEndsTheStream)
{
    testsupport::TempFolder folder;
    const std::string path = WriteGig(folder, "s.gig", {SamplePlan({2, 16, true, {1, 1}}, 4096)});
    PreloadedFile file(path, 1, 1024);
    ASSERT_TRUE(file.Ok());
    // The mode byte of the block the stream starts with becomes one no 16-bit block has.
    {
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fseek(f, file.Sample().streamOffset, SEEK_SET);
        std::fputc(0x7F, f);
        std::fclose(f);
    }
    GigaStream* stream = GigaStreamPool::Of(file.File()).TakeStream();
    stream->Start(file.Sample());
    EXPECT_TRUE(Drain(*stream).empty());
    EXPECT_EQ(stream->RemainingValues(), 0);
    stream->Finish();
    stream->Recycle();
}

TEST(GigaStream, FilesMakeTheirStreamsAtFirstUseAndTakeThemBack)
{
    testsupport::TempFolder folder;
    const std::string path = WriteGig(folder, "s.gig", {SamplePlan({1, 16, false, {0, 0}}, 2000)});
    PreloadedFile file(path, 1, 1000);
    ASSERT_TRUE(file.Ok());
    GigaFile& owner = file.File();
    EXPECT_EQ(owner.GetAttachment(), nullptr);
    GigaStreamPool& f = GigaStreamPool::Of(owner);
    EXPECT_EQ(f.StreamsMade(), 0);
    std::vector<GigaStream*> taken;
    for (int i = 0; i < GigaStreamPool::kInitialStreams + 2; ++i) taken.push_back(f.TakeStream());
    EXPECT_EQ(f.StreamsMade(), GigaStreamPool::kInitialStreams + 2);
    EXPECT_EQ(f.FreeStreams(), 0);
    for (GigaStream* s : taken) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(&s->File(), &owner);
        s->Recycle();
    }
    EXPECT_EQ(f.FreeStreams(), GigaStreamPool::kInitialStreams + 2);
    // Reused, not made anew.
    f.TakeStream()->Recycle();
    EXPECT_EQ(f.StreamsMade(), GigaStreamPool::kInitialStreams + 2);
}

}  // namespace
