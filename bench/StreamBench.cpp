// Disk streaming: what one refill costs (MB/s of decoded floats for plain and compressed data),
// how many streams one disk pass serves within its 2 ms, and how many streamed voices keep up
// when rendered in real time at 44.1 kHz with the real disk thread running.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <chrono>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "engine/GigaPart.h"
#include "engine/GigaTone.h"
#include "engine/GigaVoice.h"
#include "engine/KyVoicePool.h"
#include "gig/GigaZone.h"
#include "player/KyBufferList.h"
#include "stream/GigaDiskThread.h"
#include "stream/GigaStreamPool.h"
#include "tests/stream/StreamRig.h"

namespace {

using namespace streamtest;

constexpr double kRate = 44100.0;
constexpr int kSampleFrames = 441000;  // ten seconds
constexpr int kPreload = 44100;        // the default minimum of one second

const std::array<Format, 4> kFormats {Format {2, 16, false, {0, 0}}, Format {2, 24, false, {2, 2}},
                                      Format {2, 16, true, {1, 1}}, Format {2, 24, true, {3, 5}}};

// Files written once per process, one per format, four samples each (in the page cache).
struct Files {
    static Files& Get()
    {
        static Files files;
        return files;
    }
    PreloadedFile& Of(std::size_t format) { return *files[format]; }

    testsupport::TempFolder folder;
    std::vector<std::unique_ptr<PreloadedFile>> files;

private:
    Files()
    {
        for (std::size_t f = 0; f < kFormats.size(); ++f) {
            std::vector<testsupport::GigSamplePlan> plans(4,
                                                          SamplePlan(kFormats[f], kSampleFrames));
            const std::string path = WriteGig(folder, "f" + std::to_string(f) + ".gig", plans);
            files.push_back(std::make_unique<PreloadedFile>(path, 4, kPreload));
        }
    }
};

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// One stream refilled and drained over and over, as a voice would drain it.
void BM_Refill(benchmark::State& state)
{
    const auto format = static_cast<std::size_t>(state.range(0));
    PreloadedFile& file = Files::Get().Of(format);
    GigaStream* stream = GigaStreamPool::Of(file.File()).TakeStream();
    std::array<float, GigaStream::kRefillValues> scratch {}, out {};
    std::int64_t values = 0;
    stream->Start(file.Sample());
    for (auto _ : state) {
        if (stream->RemainingValues() == 0) stream->Start(file.Sample());
        const int made = stream->Refill(scratch);
        stream->Pull(out.data(), made);
        values += made;
    }
    stream->Finish();
    stream->Recycle();
    state.SetBytesProcessed(values * static_cast<std::int64_t>(sizeof(float)));
    state.counters["pcm_MB_per_s"] = benchmark::Counter(
        static_cast<double>(values) * kFormats[format].bits / 8 / 1e6, benchmark::Counter::kIsRate);
    state.SetLabel(Name(kFormats[format]));
}
BENCHMARK(BM_Refill)->DenseRange(0, 3);

// One pass over `streams` streams (refill each, drain what it added): how many fit in 2 ms.
void BM_Pass(benchmark::State& state)
{
    const auto format = static_cast<std::size_t>(state.range(0));
    const auto count = static_cast<int>(state.range(1));
    PreloadedFile& file = Files::Get().Of(format);
    std::vector<GigaStream*> streams;
    for (int i = 0; i < count; ++i) {
        streams.push_back(GigaStreamPool::Of(file.File()).TakeStream());
        streams.back()->Start(file.Sample(i % 4));
    }
    std::array<float, GigaStream::kRefillValues> scratch {}, out {};
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (GigaStream* s : streams) {
            if (s->RemainingValues() == 0) s->Start(file.Sample());
            s->Pull(out.data(), s->Refill(scratch));
        }
    }
    const double perPass =
        Seconds(std::chrono::steady_clock::now() - start) / static_cast<double>(state.iterations());
    for (GigaStream* s : streams) {
        s->Finish();
        s->Recycle();
    }
    state.counters["us_per_pass"] = perPass * 1e6;
    state.counters["streams_per_2ms"] = count * 0.002 / perPass;
    state.SetLabel(Name(kFormats[format]));
}
BENCHMARK(BM_Pass)->ArgsProduct({{0, 3}, {64, 256}});

class BenchTone : public GigaTone {
public:
    using GigaTone::GigaTone;
    using KyTone::EndVoicesNow;
    using KyTone::MixVoices;
};

double CpuSeconds(clockid_t clock)
{
    timespec t {};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// `voices` streamed voices (all four formats, all started at once) rendered in real time in
// blocks of `block` frames for five seconds while the disk thread keeps them fed.
void BM_RealTimeVoices(benchmark::State& state)
{
    const auto voices = static_cast<int>(state.range(0));
    const auto block = static_cast<int>(state.range(1));
    constexpr double kSeconds = 5.0;
    Files& files = Files::Get();
    GigaDiskThread& disk = GigaDiskThread::Instance();
    for (auto _ : state) {
        std::vector<float> toneScratch(GigaTone::kScratchFloats);
        KyVoicePool<GigaVoice> pool {voices};
        BenchTone tone {0, 0, toneScratch.data()};
        tone.SetVoicePool(&pool.Free());
        GigaPart layer {&tone};
        KyBufferList buses;
        buses.SetBusCount(16);
        buses.AllocateOwned(block);
        std::vector<GigaZone> zones(16);
        for (std::size_t z = 0; z < zones.size(); ++z) {
            GigaZone& zone = zones[z];
            zone.sample = &files.Of(z % 4).Sample(static_cast<int>(z / 4));
            zone.unityNote = 60;
            zone.pitchTrack = true;
            zone.gain = 1.0f;
        }
        {
            const DiskUser user;
            const std::uint64_t refilled = disk.RefilledValues();
            std::vector<KyVoice*> started;
            for (int i = 0; i < voices; ++i)
                started.push_back(tone.StartVoice(60, 100, 0, &zones[i % 16], &layer));
            const double cpu0 = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
            const double audio0 = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            const auto start = std::chrono::steady_clock::now();
            const auto period = std::chrono::duration<double>(block / kRate);
            const long blocks = static_cast<long>(kSeconds * kRate / block);
            for (long b = 0; b < blocks; ++b) {
                buses.ClearReadyFlags();
                tone.MixVoices(&buses, block);
                std::this_thread::sleep_until(
                    start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                period * static_cast<double>(b + 1)));
            }
            const double wall = Seconds(std::chrono::steady_clock::now() - start);
            const double audioCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - audio0;
            const double diskCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0 - audioCpu;
            int underruns = 0;
            for (KyVoice* v : started) underruns += v && v->GetState() == KyVoice::kEnded;
            state.counters["underruns"] = underruns;
            state.counters["disk_cpu_pct"] = 100.0 * diskCpu / wall;
            state.counters["audio_cpu_pct"] = 100.0 * audioCpu / wall;
            state.counters["float_MB_per_s"] =
                static_cast<double>(disk.RefilledValues() - refilled) * 4 / 1e6 / wall;
            tone.EndVoicesNow();
            disk.WaitPasses(2);
        }
    }
    state.SetLabel(std::to_string(voices) + " voices, blocks of " + std::to_string(block));
}
BENCHMARK(BM_RealTimeVoices)
    ->ArgNames({"voices", "block"})
    ->ArgsProduct({{64, 128, 256}, {512}})
    ->Args({256, 64})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
