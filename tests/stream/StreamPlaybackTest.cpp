// Real voices playing long samples through the real disk thread: what they play past the preload
// must be exactly what the whole sample, decoded in memory, would have given them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gig/GigaProgram.h"
#include "platform/QelLog.h"
#include "stream/GigaDiskThread.h"
#include "stream/GigaStream.h"
#include "stream/GigaStreamPool.h"
#include "tests/stream/StreamRig.h"
#include "tests/support/WaitFor.h"
#include "tests/voice/VoiceRig.h"

namespace {

using namespace streamtest;
using testsupport::WaitFor;
using voicetest::PlainZone;
using voicetest::Rig;

constexpr int kBlock = 512;
constexpr int kFrames = 60160;  // whole blocks of 256
constexpr int kPreload = 20000;

// Stands in for the disk thread with the sample's tail decoded in advance.
struct MemoryTail {
    static inline std::vector<float> tail;
    static inline std::size_t next = 0;
    static inline GigaStreamClient* waiting = nullptr;

    static bool Request(GigaStreamClient& voice)
    {
        waiting = &voice;
        return true;
    }
    static bool Pull(GigaStream&, float* dst, int values)
    {
        if (next + static_cast<std::size_t>(values) > tail.size()) return false;
        std::copy_n(tail.begin() + static_cast<std::ptrdiff_t>(next), values, dst);
        next += static_cast<std::size_t>(values);
        return true;
    }
    static void Finish(GigaStream&) {}
    static void Serve()
    {
        alignas(8) static char handle[8];
        if (GigaStreamClient* v = std::exchange(waiting, nullptr))
            v->AttachStream(reinterpret_cast<GigaStream*>(handle), v->RequestedSample());
    }
};
constexpr GigaVoice::StreamPort kMemoryPort {MemoryTail::Request, MemoryTail::Pull,
                                             MemoryTail::Finish, nullptr, nullptr};

struct Output {
    std::vector<float> left, right;
    long long frames = 0;
};

template <typename BeforeBlock>
Output Play(GigaSample& sample, BeforeBlock before)
{
    Rig rig;
    GigaZone zone;
    PlainZone(zone, sample);
    GigaVoice* voice = rig.Start(zone);
    Output out;
    for (int block = 0; block < 400 && voice->GetState() != KyVoice::kEnded; ++block) {
        before(*voice);
        rig.Block(kBlock);
        const auto l = rig.Left(kBlock), r = rig.Right(kBlock);
        out.left.insert(out.left.end(), l.begin(), l.end());
        out.right.insert(out.right.end(), r.begin(), r.end());
    }
    EXPECT_EQ(voice->GetState(), KyVoice::kEnded);
    out.frames = voice->FramesPlayed();
    return out;
}

void ExpectSame(const Output& a, const Output& b)
{
    ASSERT_EQ(a.frames, b.frames);
    ASSERT_EQ(a.left.size(), b.left.size());
    for (std::size_t i = 0; i < a.left.size(); ++i) {
        ASSERT_EQ(a.left[i], b.left[i]) << "frame " << i;
        ASSERT_EQ(a.right[i], b.right[i]) << "frame " << i;
    }
}

class StreamPlayback : public ::testing::TestWithParam<Format> {
protected:
    void TearDown() override { GigaVoice::SetStreamPort(&GigaDiskThread::Port()); }
    testsupport::TempFolder folder;
};

TEST_P(StreamPlayback, PlaysPastThePreloadExactlyAsTheWholeSampleDecodedInMemory)
{
    const Format f = GetParam();
    const std::string path = WriteGig(folder, "long.gig", {SamplePlan(f, kFrames)});
    PreloadedFile file(path, 1, kPreload);
    ASSERT_TRUE(file.Ok());
    GigaSample& sample = file.Sample();
    ASSERT_LT(sample.preloadFrames, sample.frameCount);
    const std::vector<float> whole = file.DecodeAll();
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(kFrames * f.channels));

    MemoryTail::tail.assign(whole.begin() + sample.preloadFrames * f.channels, whole.end());
    MemoryTail::next = 0;
    GigaVoice::SetStreamPort(&kMemoryPort);
    const Output reference = Play(sample, [](GigaVoice&) { MemoryTail::Serve(); });
    // The reference really went through its stream to the sample's end.
    ASSERT_GT(MemoryTail::next, MemoryTail::tail.size() - 4u * f.channels);

    GigaVoice::SetStreamPort(&GigaDiskThread::Port());
    GigaDiskThread& disk = GigaDiskThread::Instance();
    const DiskUser user;
    const std::uint64_t base = disk.RefilledValues();
    const auto tailValues = static_cast<std::uint64_t>(MemoryTail::tail.size());
    // Paced as a real-time host would be: a block is rendered once the disk thread has had the
    // time to put its frames into the ring.
    const Output streamed = Play(sample, [&](GigaVoice& voice) {
        const long long past = voice.FramesPlayed() + kBlock + 2 - sample.preloadFrames;
        const auto needed = std::min<std::uint64_t>(
            tailValues, static_cast<std::uint64_t>(std::max(0LL, past)) * f.channels);
        ASSERT_TRUE(WaitFor([&] { return disk.RefilledValues() - base >= needed; },
                            "the disk thread to fill the frames of the next block"));
    });
    ExpectSame(reference, streamed);
    EXPECT_GT(streamed.frames, kFrames - 2 * kBlock);
    EXPECT_EQ(disk.RefilledValues() - base, tailValues);
    ASSERT_TRUE(WaitFor([&] { return disk.StreamCount() == 0; }, "the stream to go home"));

    if (f.bits == 16) {
        // 16-bit values read whole from memory give the very same floats.
        PreloadedFile held(path, 1, -1);
        ASSERT_TRUE(held.Ok());
        ExpectSame(Play(held.Sample(), [](GigaVoice&) {}), streamed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, StreamPlayback,
    ::testing::Values(Format {1, 16, false, {0, 0}}, Format {2, 16, false, {0, 0}},
                      Format {1, 24, false, {2, 2}}, Format {2, 24, false, {2, 2}},
                      Format {2, 16, true, {1, 0}}, Format {1, 24, true, {4, 4}},
                      Format {2, 24, true, {3, 5}}),
    [](const auto& info) {
        std::string n = Name(info.param);
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });

TEST(StreamUnderrun, AVoiceWhoseStreamNeverComesEndsWithTheHead)
{
    testsupport::TempFolder folder;
    const std::string path =
        WriteGig(folder, "long.gig", {SamplePlan({2, 16, false, {0, 0}}, kFrames)});
    PreloadedFile file(path, 1, kPreload);
    ASSERT_TRUE(file.Ok());
    GigaDiskThread& disk = GigaDiskThread::Instance();
    disk.WaitStopped();
    ASSERT_FALSE(disk.IsRunning());
    const Output out = Play(file.Sample(), [](GigaVoice&) {});
    EXPECT_LE(out.frames, kPreload);
    EXPECT_GT(out.frames, kPreload - 2 * kBlock);
    // Sound right up to the end of the head.
    EXPECT_GT(voicetest::Peak(out.left, static_cast<std::size_t>(kPreload - 4 * kBlock),
                              static_cast<std::size_t>(kPreload - 2 * kBlock)),
              0.05f);
    // The request it left behind is dropped when the thread next starts.
    EXPECT_GE(disk.PendingRequests(), 1);
    {
        const DiskUser user;
        EXPECT_EQ(disk.PendingRequests(), 0);
    }
}

TEST(StreamUnderrun, AnOfflineRenderNeverWaitsForMoreThanRefillsReach)
{
    testsupport::TempFolder folder;
    const std::string path =
        WriteGig(folder, "long.gig", {SamplePlan({1, 16, false, {0, 0}}, kFrames)});
    PreloadedFile file(path, 1, kPreload);
    ASSERT_TRUE(file.Ok());
    GigaDiskThread& disk = GigaDiskThread::Instance();
    const DiskUser user;
    GigaStream* stream = GigaStreamPool::Of(file.File()).TakeStream();
    ASSERT_TRUE(stream->Start(file.Sample()));
    // A voice pitched far up asks for more than the ring is ever filled with: refused without
    // waiting out the limit (which logs that the render gave up).
    const std::string log = folder.File("log.txt");
    ASSERT_TRUE(QelLog::OpenSink(log));
    constexpr int kBeyond = GigaStream::kReachableBytes / sizeof(float) + 1;
    EXPECT_FALSE(disk.AwaitValues(*stream, kBeyond));
    QelLog::CloseSink();
    const std::vector<char> written = testsupport::ReadFileBytes(log);
    EXPECT_EQ(std::string(written.begin(), written.end()).find("gave up waiting"),
              std::string::npos);
    stream->Finish();
    stream->Recycle();
}

TEST(StreamUnderrun, AStreamWhoseVoiceHasEndedGoesHome)
{
    testsupport::TempFolder folder;
    const std::string path =
        WriteGig(folder, "long.gig", {SamplePlan({1, 16, false, {0, 0}}, kFrames)});
    PreloadedFile file(path, 1, kPreload);
    ASSERT_TRUE(file.Ok());
    GigaDiskThread& disk = GigaDiskThread::Instance();
    const DiskUser user;
    Rig rig;
    GigaZone zone;
    PlainZone(zone, file.Sample());
    GigaVoice* voice = rig.Start(zone);
    // It asks, then ends at once: the stream comes to a voice that has moved on, or is let go
    // of by it; either way it is recycled.
    while (voice->StreamTrigger() != 0) rig.Block(kBlock);
    voice->Kill();
    for (int i = 0; i < 20 && voice->GetState() != KyVoice::kEnded; ++i) rig.Block(kBlock);
    ASSERT_EQ(voice->GetState(), KyVoice::kEnded);
    disk.WaitPasses(3);
    EXPECT_EQ(disk.StreamCount(), 0);
    EXPECT_FALSE(voice->HasStream());
}

TEST(DiskThreadUsers, RunsFromTheFirstHolderOfAStreamingProgramToTheLast)
{
    GigaDiskThread& disk = GigaDiskThread::Instance();
    disk.WaitStopped();
    GigaProgram streaming, held;
    streaming.needsStreaming = true;
    held.Retain();  // holds nothing from disk
    EXPECT_FALSE(disk.IsRunning());
    streaming.Retain();
    EXPECT_TRUE(disk.IsRunning());
    EXPECT_EQ(disk.UserCount(), 1);
    streaming.Retain();
    const std::uint64_t passes = disk.PassCount();
    disk.WaitPasses(3);
    EXPECT_GE(disk.PassCount(), passes + 2);
    streaming.Release();
    EXPECT_TRUE(disk.IsRunning());
    streaming.Release();
    // RemoveUser of the last holder came back only once the thread had ended.
    EXPECT_FALSE(disk.IsRunning());
    EXPECT_EQ(disk.UserCount(), 0);
    // Nothing to wait for while it is stopped; a stray release does not go below zero.
    disk.WaitPasses(5);
    disk.RemoveUser();
    EXPECT_EQ(disk.UserCount(), 0);
    // And it comes back with the next holder.
    streaming.needsStreaming = true;
    streaming.Retain();
    EXPECT_TRUE(disk.IsRunning());
    streaming.Release();
    EXPECT_FALSE(disk.IsRunning());
    held.Release();
}

TEST(DiskThreadRequests, AFullQueueRefusesTheNextVoice)
{
    GigaDiskThread& disk = GigaDiskThread::Instance();
    disk.WaitStopped();
    std::vector<GigaVoice> voices(GigaDiskThread::kRequestSlots);
    // Nobody serves while the thread is stopped, so they pile up.
    for (std::size_t i = 0; i + 1 < voices.size(); ++i) ASSERT_TRUE(disk.RequestStream(voices[i]));
    EXPECT_EQ(disk.PendingRequests(), 255);
    EXPECT_FALSE(disk.RequestStream(voices.back()));
    EXPECT_EQ(disk.PendingRequests(), 255);
    const DiskUser user;
    EXPECT_EQ(disk.PendingRequests(), 0);
    EXPECT_TRUE(disk.RequestStream(voices.back()));
    // None of them asked for anything: the thread passes them over.
    ASSERT_TRUE(
        WaitFor([&] { return disk.PendingRequests() == 0; }, "the disk thread to pass them over"));
    EXPECT_EQ(disk.StreamCount(), 0);
}

}  // namespace
