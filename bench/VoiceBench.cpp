// Cost of the voice engine: a tone full of voices rendering 512-frame blocks at 44.1 kHz, played
// straight or resampled, with and without the filter, mono and stereo. Prints the time per
// voice-frame and how many such voices one core keeps up with in real time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "engine/GigaPart.h"
#include "engine/GigaTone.h"
#include "engine/GigaVoice.h"
#include "engine/KyVoicePool.h"
#include "gig/GigaSample.h"
#include "gig/GigaZone.h"
#include "player/KyBufferList.h"
#include "prefs/SampleBudget.h"
#include "sample/GigaMemory.h"

namespace {

constexpr int kBlock = 512;
constexpr double kRate = 44100.0;
constexpr int kVoices = 64;
constexpr int kFrames = 44100;  // one second, looped

class BenchTone : public GigaTone {
public:
    using GigaTone::GigaTone;
    using KyTone::MixVoices;
};

struct Setup {
    Setup(int channels, bool filtered)
    {
        std::vector<std::int16_t> data(static_cast<std::size_t>(kFrames * channels));
        for (int i = 0; i < kFrames * channels; ++i)
            data[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
                12000 * std::sin(2.0 * std::numbers::pi * 441.0 * (i / channels) / kRate));
        const auto offset = memory.Reserve(kFrames * channels);
        memory.Allocate();
        std::copy(data.begin(), data.end(), memory.Address(offset));
        sample.channels = channels;
        sample.frameCount = kFrames;
        sample.preloadFrames = kFrames;
        sample.memory = &memory;
        sample.memoryOffset = offset;
        sample.loaded = true;
        zone.sample = &sample;
        zone.unityNote = 60;
        zone.pitchTrack = true;
        zone.loopEnabled = 1;
        zone.loopEnd = kFrames - 1;
        zone.filterEnabled = filtered ? 1 : 0;
        zone.filterCutoff = 0.5f;
        tone.SetVoicePool(&pool.Free());
        buses.SetBusCount(16);
        buses.AllocateOwned(kBlock);
    }

    SampleBudget budget {4096};
    GigaMemory memory {budget};
    GigaSample sample;
    GigaZone zone;
    std::vector<float> scratch = std::vector<float>(GigaTone::kScratchFloats);
    KyVoicePool<GigaVoice> pool {kVoices};
    BenchTone tone {0, 0, scratch.data()};
    GigaPart layer {&tone};
    KyBufferList buses;
};

// Arguments: channels, resampled, filtered.
void BM_VoiceBlock(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const bool resampled = state.range(1) != 0;
    Setup s(channels, state.range(2) != 0);
    for (int i = 0; i < kVoices; ++i)
        s.tone.StartVoice(resampled ? 61 + i % 12 : 60, 100, 0, &s.zone, &s.layer);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        s.buses.ClearReadyFlags();
        benchmark::DoNotOptimize(s.tone.MixVoices(&s.buses, kBlock));
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double voiceFrames = static_cast<double>(state.iterations()) * kVoices * kBlock;
    state.counters["ns_per_voice_frame"] = elapsed.count() * 1e9 / voiceFrames;
    // Seconds of one voice's audio made per second of one core: the voices it keeps up with.
    state.counters["realtime_voices"] = voiceFrames / kRate / elapsed.count();
    state.SetLabel(std::to_string(kVoices) + " voices x 512 frames");
}
BENCHMARK(BM_VoiceBlock)
    ->ArgNames({"channels", "resampled", "filtered"})
    ->Args({1, 0, 0})
    ->Args({1, 1, 0})
    ->Args({1, 1, 1})
    ->Args({2, 0, 0})
    ->Args({2, 1, 0})
    ->Args({2, 1, 1});

}  // namespace

BENCHMARK_MAIN();
