// A minute of dense music through the plug-in binary, paced like a live host: generated
// instruments (plain, compressed, 24-bit, streamed, looped) on 16 channels with many voices.
// Prints the realtime factor, the average and worst block time against the block's length,
// and the process's peak memory.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "tools/marlet-host/EventScheduler.h"
#include "tools/marlet-host/TimedMidiEvent.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr double kSeconds = 60.0;

using testsupport::GigSamplePlan;

GigSamplePlan Sample(int frames, int channels, int bits, bool compressed, bool loop)
{
    GigSamplePlan s;
    s.frames = frames;
    s.channels = channels;
    s.bits = bits;
    s.compressed = compressed;
    s.blockFrames = 2048;
    s.modes = bits == 16 ? std::array<int, 2> {1, 1} : std::array<int, 2> {3, 3};
    s.loop = loop;
    s.loopEnd = frames - 1;
    return s;
}

// Four instruments, one sample per region of twelve keys.
testsupport::GigFilePlan Bank()
{
    testsupport::GigFilePlan plan;
    plan.samples.clear();
    plan.instruments.clear();
    const struct {
        const char* name;
        int frames, channels, bits;
        bool compressed, loop;
    } kinds[] = {
        {"Plain", 88200, 1, 16, false, false},         // two seconds, in memory
        {"Compressed", 88200, 2, 16, true, false},     // compressed stereo
        {"Streamed", 44100 * 12, 2, 24, true, false},  // twelve seconds, from disk
        {"Looped", 44100, 2, 16, false, true},         // a looped pad
    };
    for (const auto& kind : kinds) {
        testsupport::GigInstrumentPlan instrument;
        instrument.name = kind.name;
        instrument.regions.clear();
        for (int low = 24; low < 108; low += 12) {
            testsupport::GigRegionPlan region;
            region.lowKey = static_cast<std::int16_t>(low);
            region.highKey = static_cast<std::int16_t>(low + 11);
            region.fill.sample = static_cast<std::int32_t>(plan.samples.size());
            region.fill.unityNote = static_cast<std::uint16_t>(low + 6);
            region.fill.loop = kind.loop;
            region.fill.loopLength = static_cast<std::uint32_t>(kind.frames);
            instrument.regions.push_back(region);
            plan.samples.push_back(
                Sample(kind.frames, kind.channels, kind.bits, kind.compressed, kind.loop));
            plan.samples.back().unityNote = low + 6;
        }
        plan.instruments.push_back(instrument);
    }
    return plan;
}

// Sixteen channels, each holding about ten notes at a time.
std::vector<TimedMidiEvent> Music()
{
    std::mt19937 random(42);
    std::vector<TimedMidiEvent> events;
    for (int channel = 0; channel < 16; ++channel) {
        for (double t = 0.0; t < kSeconds - 1.0; t += 0.125) {
            const auto key = static_cast<std::uint8_t>(30 + random() % 70);
            const double length = 0.5 + (random() % 100) / 100.0;
            events.push_back({t, static_cast<std::uint8_t>(0x90 | channel), key,
                              static_cast<std::uint8_t>(40 + random() % 80)});
            events.push_back({std::min(t + length, kSeconds - 0.5),
                              static_cast<std::uint8_t>(0x80 | channel), key, 0});
        }
    }
    std::stable_sort(
        events.begin(), events.end(),
        [](const TimedMidiEvent& a, const TimedMidiEvent& b) { return a.seconds < b.seconds; });
    return events;
}

// The rack as host state: tone i plays instrument i mod 4.
std::vector<std::uint8_t> Performance(const std::string& bank)
{
    GigaPlayer player;
    player.OnInit();
    for (int i = 0; i < 16; ++i) player.Giga(i)->AddLayer(bank, i % 4);
    const std::size_t size = player.SaveToMemory();
    const auto& bytes = player.Chunk();
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)};
}

}  // namespace

int main()
{
    testsupport::TempFolder folder;
    const std::string bank = folder.File("bench.gig");
    testsupport::GigWriter(Bank()).Write(bank);
    auto chunk = Performance(bank);

    std::string error;
    VstPluginModule::Options options;
    options.sampleRate = kRate;
    options.blockSize = kBlock;
    auto module = VstPluginModule::Load(MARLET_PLUGIN_PATH, options, error);
    if (!module) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    AEffect* effect = module->Effect();
    module->Dispatch(vst::effOpen);
    module->Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    module->Dispatch(vst::effSetBlockSize, 0, kBlock);
    // Offline while the state is given, so that the instruments are loaded when it returns;
    // live while playing, so that the disk thread has to keep up on its own.
    module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()), chunk.data());
    module->SetProcessLevel(2);
    module->Dispatch(vst::effMainsChanged, 0, 1);

    const auto music = Music();
    EventScheduler scheduler(music, kRate);
    std::vector<std::vector<float>> buffers(32, std::vector<float>(kBlock));
    std::vector<float*> outputs;
    for (auto& b : buffers) outputs.push_back(b.data());

    using Clock = std::chrono::steady_clock;
    const double blockSeconds = kBlock / kRate;
    const auto total = static_cast<std::int64_t>(kSeconds * kRate);
    double busy = 0.0, worst = 0.0;
    float peak = 0.0f;
    int blocks = 0;
    const auto start = Clock::now();
    for (std::int64_t at = 0; at < total; at += kBlock, ++blocks) {
        const auto before = Clock::now();
        if (VstEvents* events = scheduler.EventsForBlock(at, kBlock))
            module->Dispatch(vst::effProcessEvents, 0, 0, events);
        effect->processReplacing(effect, nullptr, outputs.data(), kBlock);
        const double took = std::chrono::duration<double>(Clock::now() - before).count();
        busy += took;
        worst = std::max(worst, took);
        for (const auto& channel : buffers)
            for (float x : channel) peak = std::max(peak, std::fabs(x));
        // Paced like a live host: the next block is asked for when its time has come.
        std::this_thread::sleep_until(start +
                                      std::chrono::duration<double>((blocks + 1) * blockSeconds));
    }
    module->Close();

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("blocks: %d of %d frames (%.2f ms each), %zu MIDI events on 16 channels\n", blocks,
                kBlock, blockSeconds * 1000.0, music.size());
    std::printf("realtime factor: %.1f (audio seconds per processing second)\n", kSeconds / busy);
    std::printf("average block: %.3f ms (%.1f %% of its length)\n", busy / blocks * 1000.0,
                busy / blocks / blockSeconds * 100.0);
    std::printf("worst block: %.3f ms (%.1f %% of its length)\n", worst * 1000.0,
                worst / blockSeconds * 100.0);
    std::printf("peak memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    std::printf("output peak: %.3f (the music sounded)\n", static_cast<double>(peak));
    return 0;
}
