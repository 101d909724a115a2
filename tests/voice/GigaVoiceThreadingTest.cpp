// Streams handed to voices from another thread while the audio thread starts, renders and kills
// them: the hand-over must be free of races (this suite runs under ThreadSanitizer) and a stream
// must always come back, whether the voice took it or had moved on.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/support/WaitFor.h"
#include "tests/voice/VoiceRig.h"

namespace {

using namespace voicetest;

struct Stream {
    const MemorySample* source = nullptr;
    int frame = 0;
    std::atomic<bool> free {true};
};

// A disk thread with a one-voice request slot and a handful of streams.
struct Disk {
    static inline std::atomic<GigaStreamClient*> slot {nullptr};
    static inline std::array<Stream, 16> streams;
    static inline const MemorySample* source = nullptr;
    static inline std::atomic<int> attached {0};

    static Stream& Of(GigaStream& s) { return reinterpret_cast<Stream&>(s); }

    static bool Request(GigaStreamClient& voice)
    {
        GigaStreamClient* empty = nullptr;
        return slot.compare_exchange_strong(empty, &voice, std::memory_order_acq_rel);
    }
    static bool Pull(GigaStream& handle, float* dst, int values)
    {
        Stream& s = Of(handle);
        const int channels = s.source->sample.channels;
        for (int i = 0; i < values; ++i) {
            if (s.frame >= s.source->sample.frameCount) return false;
            dst[i] = s.source->Value(s.frame, i % channels);
            if (i % channels == channels - 1) ++s.frame;
        }
        return true;
    }
    static void Finish(GigaStream& handle)
    {
        Of(handle).free.store(true, std::memory_order_release);
    }

    static void Serve(const std::atomic<bool>& stop)
    {
        while (!stop.load(std::memory_order_acquire)) {
            GigaStreamClient* voice = slot.exchange(nullptr, std::memory_order_acq_rel);
            if (!voice) {
                std::this_thread::yield();
                continue;
            }
            const GigaSample* sample = voice->RequestedSample();
            if (!sample) continue;  // the voice has moved on
            for (Stream& s : streams) {
                if (!s.free.load(std::memory_order_acquire)) continue;
                s.free.store(false, std::memory_order_relaxed);
                s.source = source;
                s.frame = source->sample.preloadFrames;
                if (voice->AttachStream(reinterpret_cast<GigaStream*>(&s), sample)) ++attached;
                break;
            }
        }
    }
};

constexpr GigaVoice::StreamPort kPort {Disk::Request, Disk::Pull, Disk::Finish, nullptr, nullptr};

TEST(GigaVoiceThreading, StreamsArriveWhileVoicesComeAndGo)
{
    MemorySample head(Sine(330.0, 30000), 1, 3000);
    Disk::source = &head;
    GigaVoice::SetStreamPort(&kPort);
    GigaZone zone;
    PlainZone(zone, head.sample);
    Rig rig;

    std::atomic<bool> stop {false};
    std::thread disk(Disk::Serve, std::cref(stop));
    int block = 0;
    const auto play = [&] {
        if (block % 7 == 0) rig.Start(zone, 55 + block % 11);
        if (block % 13 == 0 && !rig.tone.Voices().Empty()) rig.tone.Voices().Head()->Kill();
        rig.Block(256);
        ++block;
    };
    while (block < 2000) {
        play();
        // Roughly the pace of a host: the disk thread gets its turns.
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    // However few turns the disk thread got meanwhile, the host plays on until one stream came.
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            play();
            return Disk::attached.load() > 0;
        },
        "a stream to reach a voice"));
    stop.store(true, std::memory_order_release);
    disk.join();
    // Everything still sounding is ended the way the tone ends it.
    while (KyVoice* v = rig.tone.Voices().TakeFirst()) {
        v->ReleaseStream();
        rig.pool.Append(v);
    }
    GigaVoice::SetStreamPort(nullptr);

    for (const Stream& s : Disk::streams) EXPECT_TRUE(s.free.load());
}

}  // namespace
