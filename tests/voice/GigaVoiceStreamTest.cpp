// The voice's side of disk streaming, against a stand-in for the disk thread that serves frames
// straight from the test's copy of the sample.
#include "engine/GigaVoice.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "tests/voice/VoiceRig.h"

namespace {

using namespace voicetest;

struct FakeStream {
    const MemorySample* source = nullptr;
    int frame = 0;  // next frame to serve
    int pullsLeft = INT_MAX;
    bool finished = false;
};

struct FakeDisk {
    static inline GigaStreamClient* waiting = nullptr;
    static inline bool accept = true;
    static inline int requests = 0;
    static inline int finishes = 0;

    static FakeStream& Of(GigaStream& s) { return reinterpret_cast<FakeStream&>(s); }
    static GigaStream* Handle(FakeStream& s) { return reinterpret_cast<GigaStream*>(&s); }

    static bool Request(GigaStreamClient& voice)
    {
        ++requests;
        if (!accept) return false;
        waiting = &voice;
        return true;
    }
    static bool Pull(GigaStream& stream, float* dst, int values)
    {
        FakeStream& s = Of(stream);
        if (s.pullsLeft-- <= 0) return false;
        const int channels = s.source->sample.channels;
        for (int i = 0; i < values; ++i) {
            if (s.frame >= s.source->sample.frameCount) return false;
            dst[i] = s.source->Value(s.frame, i % channels);
            if (i % channels == channels - 1) ++s.frame;
        }
        return true;
    }
    static void Finish(GigaStream& stream)
    {
        Of(stream).finished = true;
        ++finishes;
    }
    // What the disk thread does with a waiting voice: a stream from the end of the preload.
    static bool Serve(FakeStream& stream, const MemorySample& source)
    {
        if (!waiting) return false;
        GigaStreamClient* voice = std::exchange(waiting, nullptr);
        stream.source = &source;
        stream.frame = source.sample.preloadFrames;
        return voice->AttachStream(Handle(stream), voice->RequestedSample());
    }
};

constexpr GigaVoice::StreamPort kFakePort {FakeDisk::Request, FakeDisk::Pull, FakeDisk::Finish,
                                           nullptr, nullptr};

class GigaVoiceStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeDisk::waiting = nullptr;
        FakeDisk::accept = true;
        FakeDisk::requests = 0;
        FakeDisk::finishes = 0;
        GigaVoice::SetStreamPort(&kFakePort);
    }
    void TearDown() override { GigaVoice::SetStreamPort(nullptr); }
};

TEST_F(GigaVoiceStream, StreamedPlaybackMatchesPlaybackFromMemory)
{
    for (int channels : {1, 2})
        for (int key : {60, 67}) {
            FakeDisk::requests = 0;
            const auto frames = Sine(220.0, 88200, channels);
            MemorySample whole(frames, channels);
            MemorySample head(frames, channels, 30000);
            GigaZone wholeZone, headZone;
            PlainZone(wholeZone, whole.sample);
            PlainZone(headZone, head.sample);
            Rig reference, streamed;
            GigaVoice* r = reference.Start(wholeZone, key);
            GigaVoice* v = streamed.Start(headZone, key);
            EXPECT_EQ(r->StreamTrigger(), 0);
            EXPECT_EQ(v->StreamTrigger(), key == 60 ? 30000 - 22050 : 512);

            FakeStream stream;
            bool attached = false;
            for (int block = 0; block < 200 && r->GetState() != KyVoice::kEnded; ++block) {
                reference.Block(512);
                streamed.Block(512);
                if (!attached) attached = FakeDisk::Serve(stream, head);
                ASSERT_EQ(r->FramesPlayed(), v->FramesPlayed()) << block;
                const auto a = reference.Left(512), b = streamed.Left(512);
                const auto c = reference.Right(512), d = streamed.Right(512);
                for (int i = 0; i < 512; ++i) {
                    ASSERT_EQ(a[i], b[i]) << "channels " << channels << " key " << key;
                    ASSERT_EQ(c[i], d[i]);
                }
            }
            EXPECT_TRUE(attached);
            EXPECT_EQ(v->GetState(), KyVoice::kEnded);
            EXPECT_GT(v->FramesPlayed(), (key == 60 ? 88000 : 58000));
            // The voice gave the stream back when it ended.
            EXPECT_TRUE(stream.finished);
            EXPECT_EQ(FakeDisk::requests, 1);
        }
}

TEST_F(GigaVoiceStream, VoiceEndsAtOnceWhenTheHeadRunsOutWithoutAStream)
{
    MemorySample head(Sine(220.0, 88200), 1, 30000);
    GigaZone zone;
    PlainZone(zone, head.sample);
    for (bool resampled : {false, true}) {
        Rig rig;
        FakeDisk::accept = false;  // the disk thread never answers
        GigaVoice* v = rig.Start(zone, resampled ? 61 : 60);
        for (int block = 0; block < 200 && v->GetState() != KyVoice::kEnded; ++block)
            rig.Block(512);
        EXPECT_EQ(v->GetState(), KyVoice::kEnded);
        const int played = static_cast<int>(v->FramesPlayed() * v->PitchRatio());
        EXPECT_LE(played, 30000);
        EXPECT_GT(played, 30000 - 2 * 512 * v->PitchRatio());
        // A refused request is asked again at every following block.
        EXPECT_GT(FakeDisk::requests, 10);
    }
}

TEST_F(GigaVoiceStream, UnderrunEndsTheVoiceAndFreesTheStream)
{
    MemorySample head(Sine(220.0, 88200), 1, 30000);
    GigaZone zone;
    PlainZone(zone, head.sample);
    Rig rig;
    GigaVoice* v = rig.Start(zone);
    FakeStream stream;
    stream.pullsLeft = 3;
    for (int block = 0; block < 200 && v->GetState() != KyVoice::kEnded; ++block) {
        rig.Block(512);
        FakeDisk::Serve(stream, head);
    }
    EXPECT_EQ(v->GetState(), KyVoice::kEnded);
    EXPECT_FALSE(v->HasStream());
    EXPECT_TRUE(stream.finished);
    EXPECT_EQ(FakeDisk::finishes, 1);
    EXPECT_LT(v->FramesPlayed(), 30000 + 4 * 512);
}

TEST_F(GigaVoiceStream, StreamsOnlyGoToTheRequestThatAskedForThem)
{
    MemorySample head(Sine(220.0, 88200), 1, 30000);
    MemorySample other(Sine(220.0, 88200), 1, 30000);
    GigaZone zone;
    PlainZone(zone, head.sample);
    Rig rig;
    GigaVoice* v = rig.Start(zone);
    FakeStream a, b, c;
    // Nothing pending yet: a stream cannot be forced on the voice.
    EXPECT_EQ(v->RequestedSample(), nullptr);
    EXPECT_FALSE(v->AttachStream(FakeDisk::Handle(a), &head.sample));
    EXPECT_TRUE(a.finished);

    while (!FakeDisk::waiting) rig.Block(512);
    EXPECT_EQ(v->RequestedSample(), &head.sample);
    EXPECT_FALSE(v->AttachStream(FakeDisk::Handle(b), &other.sample));
    EXPECT_TRUE(b.finished);
    c.source = &head;
    c.frame = 30000;
    EXPECT_TRUE(v->AttachStream(FakeDisk::Handle(c), &head.sample));
    EXPECT_TRUE(v->HasStream());
    EXPECT_EQ(v->RequestedSample(), nullptr);
    EXPECT_FALSE(c.finished);

    // Killed: the voice ends, the tone releases its stream; a late answer is handed back.
    v->Kill();
    for (int i = 0; i < 20 && v->GetState() != KyVoice::kEnded; ++i) rig.Block(512);
    EXPECT_EQ(v->GetState(), KyVoice::kEnded);
    EXPECT_TRUE(c.finished);
    FakeStream late;
    EXPECT_FALSE(v->AttachStream(FakeDisk::Handle(late), &head.sample));
    EXPECT_TRUE(late.finished);
}

}  // namespace
