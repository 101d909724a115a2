// Two plug-in instances' audio threads stream voices at the same time through the one disk
// thread, while voices are killed and started anew. Runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "stream/GigaDiskThread.h"
#include "tests/stream/StreamRig.h"
#include "tests/support/WaitFor.h"
#include "tests/voice/VoiceRig.h"

namespace {

using namespace streamtest;
using voicetest::PlainZone;
using voicetest::Rig;

constexpr int kBlock = 256;
constexpr int kVoicesPerInstance = 8;

// Both sides step through the phases together.
struct Phases {
    std::atomic<int> arrived {0};
    void Meet(int parties)
    {
        const int goal = (arrived.fetch_add(1) / parties + 1) * parties;
        EXPECT_TRUE(testsupport::WaitFor([&] { return arrived.load() >= goal; },
                                         "every party at the meeting point"));
    }
};

struct Instance {
    Rig rig;
    std::vector<GigaZone> zones;
    std::vector<GigaVoice*> voices;

    explicit Instance(std::vector<GigaSample*> samples) : zones(samples.size())
    {
        for (std::size_t i = 0; i < samples.size(); ++i) PlainZone(zones[i], *samples[i]);
    }
    void Block()
    {
        rig.Block(kBlock);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Voices go back to the pool when they end: only a playing one may be killed, and a voice
    // started again is listed once.
    void Kill(GigaVoice* v)
    {
        if (v->GetState() != KyVoice::kEnded) v->Kill();
    }
    void Add(GigaVoice* v)
    {
        if (v && std::find(voices.begin(), voices.end(), v) == voices.end()) voices.push_back(v);
    }
    int Playing() const
    {
        int n = 0;
        for (const GigaVoice* v : voices) n += v->GetState() != KyVoice::kEnded;
        return n;
    }
};

TEST(DiskThreadThreading, TwoInstancesStreamWhileVoicesComeAndGo)
{
    testsupport::TempFolder folder;
    const auto plain = SamplePlan({1, 16, false, {0, 0}}, 400000);
    const auto compressed = SamplePlan({2, 24, true, {3, 5}}, 400000 / 256 * 256);
    PreloadedFile a(WriteGig(folder, "a.gig", {plain}), 1, 20000);
    PreloadedFile b(WriteGig(folder, "b.gig", {compressed}), 1, 20000);
    ASSERT_TRUE(a.Ok() && b.Ok());
    GigaDiskThread& disk = GigaDiskThread::Instance();
    GigaVoice::SetStreamPort(&GigaDiskThread::Port());
    const DiskUser user;

    Phases phases;
    std::atomic<int> withStream {0};
    std::atomic<int> playingAtEnd {0};
    auto audio = [&](unsigned seed) {
        Instance inst({&a.Sample(), &b.Sample()});
        std::mt19937 random(seed);
        // Every voice asks at once: at or above the unity note the trigger is 512 frames in.
        for (int i = 0; i < kVoicesPerInstance; ++i)
            inst.Add(inst.rig.Start(inst.zones[i % 2], 60 + i));
        for (int i = 0; i < 8; ++i) inst.Block();
        phases.Meet(3);  // the test thread lets the disk thread serve them
        phases.Meet(3);
        for (GigaVoice* v : inst.voices) withStream += v->HasStream();

        // Voices are killed and new ones started while others stream.
        for (int block = 0; block < 300; ++block) {
            if (random() % 4 == 0 && !inst.voices.empty()) {
                inst.Kill(inst.voices[random() % inst.voices.size()]);
            }
            if (random() % 4 == 0 && inst.Playing() < voicetest::Rig::kVoices - 2) {
                const int z = static_cast<int>(random() % 2);
                inst.Add(inst.rig.Start(inst.zones[z], 40 + static_cast<int>(random() % 40)));
            }
            inst.Block();
        }
        for (GigaVoice* v : inst.voices) inst.Kill(v);
        for (int i = 0; i < 50 && inst.Playing() > 0; ++i) inst.Block();
        playingAtEnd += inst.Playing();
        phases.Meet(3);  // the rig goes only once the disk thread is done with its voices
        phases.Meet(3);
    };
    std::thread first(audio, 1u), second(audio, 2u);
    phases.Meet(3);
    disk.WaitPasses(3);
    phases.Meet(3);
    phases.Meet(3);
    disk.WaitPasses(3);
    phases.Meet(3);
    first.join();
    second.join();

    // No request was lost between the two instances.
    EXPECT_EQ(withStream.load(), 2 * kVoicesPerInstance);
    EXPECT_EQ(playingAtEnd.load(), 0);
    // Every stream let go of came home.
    EXPECT_EQ(disk.StreamCount(), 0);
}

}  // namespace
