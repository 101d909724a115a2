// How long a live host waits in its calls while an instrument loads in the background. A host
// with an audio thread paced in real time gives the plug-in binary a performance whose
// instrument takes hundreds of milliseconds to load, then saves its state every 5 ms, opens and
// closes a second instance, and finally closes the plug-in while another load runs. Prints the
// worst and median time of each kind of call, the load time and the audio thread's block times.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kKeys = 88;
constexpr int kVelocityBits = 4;  // sixteen zones per key
constexpr int kSampleFrames = 88200;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// One instrument of 1408 zones, each with a stereo sample of two seconds: about 500 MB of
// preloads, read in full when the program loads.
testsupport::GigFilePlan BigBank()
{
    testsupport::GigFilePlan plan;
    plan.samples.clear();
    testsupport::GigInstrumentPlan instrument;
    instrument.name = "Big";
    instrument.regions.clear();
    for (int key = 21; key < 21 + kKeys; ++key) {
        testsupport::GigRegionPlan region;
        region.lowKey = static_cast<std::int16_t>(key);
        region.highKey = static_cast<std::int16_t>(key);
        region.dimensions = {{testsupport::gigdim::kVelocity, kVelocityBits}};
        for (int zone = 0; zone < (1 << kVelocityBits); ++zone) {
            testsupport::GigDimensionRegionPlan d;
            d.sample = static_cast<std::int32_t>(plan.samples.size());
            d.unityNote = static_cast<std::uint16_t>(key);
            d.velocityUpperLimit = static_cast<std::uint8_t>((zone + 1) * 8 - 1);
            region.dimensionRegions.push_back(d);
            testsupport::GigSamplePlan sample;
            sample.channels = 2;
            sample.frames = kSampleFrames;
            sample.unityNote = key;
            plan.samples.push_back(sample);
        }
        instrument.regions.push_back(region);
    }
    plan.instruments = {instrument};
    return plan;
}

std::vector<std::uint8_t> Rack(const std::string& bank)
{
    GigaPlayer player;
    player.OnInit();
    player.LeavePlayerList();  // a writer only
    if (!bank.empty()) {
        GigaPart* layer = player.Giga(0)->AddLayer(bank, 0);
        layer->keyLow = 0;
        layer->keyHigh = 127;
        layer->bendRange = 2;
    }
    const std::size_t size = player.SaveToMemory();
    return {player.Chunk().begin(), player.Chunk().begin() + static_cast<std::ptrdiff_t>(size)};
}

// The times of each kind of host call.
class Calls {
public:
    template <typename Call>
    void Time(const std::string& kind, Call&& call)
    {
        const auto before = Clock::now();
        call();
        Record(kind, Clock::now() - before);
    }
    void Record(const std::string& kind, Clock::duration took) { times_[kind].push_back(Ms(took)); }
    void Print() const
    {
        for (const auto& [kind, list] : times_) {
            std::vector<double> sorted = list;
            std::sort(sorted.begin(), sorted.end());
            std::printf("%-22s %5zu calls  median %8.3f ms  worst %8.3f ms\n", kind.c_str(),
                        sorted.size(), sorted[sorted.size() / 2], sorted.back());
        }
    }

private:
    std::map<std::string, std::vector<double>> times_;
};

std::unique_ptr<VstPluginModule> Open()
{
    std::string error;
    VstPluginModule::Options options;
    options.sampleRate = kRate;
    options.blockSize = kBlock;
    options.processLevel = 2;  // live
    options.recordCalls = false;
    auto module = VstPluginModule::Load(MARLET_PLUGIN_PATH, options, error);
    if (!module) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    module->Dispatch(vst::effOpen);
    module->Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    module->Dispatch(vst::effSetBlockSize, 0, kBlock);
    module->Dispatch(vst::effMainsChanged, 0, 1);
    return module;
}

// The host's audio thread: paced blocks of 512 frames, a short note on channel 1 every fourth
// block; notes the first block that sounds (the instrument has loaded).
class AudioThread {
public:
    explicit AudioThread(AEffect* effect) : effect_(effect), thread_([this] { Run(); }) {}
    ~AudioThread() { Stop(); }
    void Stop()
    {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }
    void ExpectSilence() { sounded_ = false; }
    bool Sounded() const { return sounded_; }
    Clock::time_point SoundedAt() const { return Clock::time_point(Clock::duration(soundedAt_)); }
    double WorstMs() const { return worst_; }
    double AverageMs() const { return blocks_ ? busy_ / blocks_ : 0.0; }
    int Blocks() const { return blocks_; }

private:
    void Run()
    {
        std::vector<std::vector<float>> buffers(32, std::vector<float>(kBlock));
        std::vector<float*> outputs;
        for (auto& b : buffers) outputs.push_back(b.data());
        const double blockSeconds = kBlock / kRate;
        const auto start = Clock::now();
        for (int block = 0; running_; ++block) {
            const auto before = Clock::now();
            if (block % 4 == 0) Send(0x90, 60, 100);
            if (block % 4 == 2) Send(0x80, 60, 0);
            effect_->processReplacing(effect_, nullptr, outputs.data(), kBlock);
            const double took = Ms(Clock::now() - before);
            worst_ = std::max(worst_.load(), took);
            busy_ += took;
            ++blocks_;
            if (!sounded_) {
                for (float x : buffers[0])
                    if (x != 0.0f) {
                        soundedAt_ = Clock::now().time_since_epoch().count();
                        sounded_ = true;
                        break;
                    }
            }
            std::this_thread::sleep_until(
                start + std::chrono::duration<double>((block + 1) * blockSeconds));
        }
    }
    void Send(int status, int key, int velocity)
    {
        VstMidiEvent midi {};
        midi.type = vst::kVstMidiType;
        midi.byteSize = sizeof midi;
        midi.midiData[0] = static_cast<char>(status);
        midi.midiData[1] = static_cast<char>(key);
        midi.midiData[2] = static_cast<char>(velocity);
        VstEvents events {};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&midi);
        effect_->dispatcher(effect_, vst::effProcessEvents, 0, 0, &events, 0.0f);
    }

    AEffect* effect_;
    std::atomic<bool> running_ {true};
    std::atomic<bool> sounded_ {false};
    std::atomic<Clock::rep> soundedAt_ {0};
    std::atomic<double> worst_ {0.0};
    double busy_ = 0.0;
    std::atomic<int> blocks_ {0};
    std::thread thread_;
};

void SetChunk(VstPluginModule& module, std::vector<std::uint8_t>& chunk)
{
    module.Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()), chunk.data());
}

void GetChunk(VstPluginModule& module)
{
    void* data = nullptr;
    module.Dispatch(vst::effGetChunk, 0, 0, &data);
}

}  // namespace

int main()
{
    testsupport::TempFolder folder;
    const std::string bank = folder.File("big.gig");
    std::printf("writing %s ...\n", bank.c_str());
    testsupport::GigWriter(BigBank()).Write(bank);
    auto big = Rack(bank);
    auto empty = Rack({});

    Calls calls;
    auto module = Open();
    auto audio = std::make_unique<AudioThread>(module->Effect());
    constexpr auto kTimeout = std::chrono::seconds(60);

    // The first load. The host's GUI thread saves the state every 5 ms; its main thread opens
    // and closes a second instance meanwhile.
    auto started = Clock::now();
    calls.Time("setChunk", [&] { SetChunk(*module, big); });
    std::atomic<bool> saving {true};
    std::mutex timing;
    const auto saveEvery5Ms = [&] {
        while (saving) {
            const auto before = Clock::now();
            GetChunk(*module);
            const auto took = Clock::now() - before;
            {
                std::lock_guard lock(timing);
                calls.Record("getChunk", took);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    std::thread saver(saveEvery5Ms);
    while (!audio->Sounded() && Clock::now() - started < kTimeout) {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        std::unique_ptr<VstPluginModule> other;
        const auto opening = Clock::now();
        other = Open();
        const auto opened = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        const auto closing = Clock::now();
        other->Close();
        const auto closed = Clock::now();
        std::lock_guard lock(timing);
        calls.Record("open other instance", opened - opening);
        calls.Record("close other instance", closed - closing);
    }
    saving = false;
    saver.join();
    const double loadMs = Ms(audio->SoundedAt() - started);
    const bool loaded = audio->Sounded();

    // An empty rack, then the instrument again; the plug-in is closed while it loads.
    calls.Time("setChunk", [&] { SetChunk(*module, empty); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    calls.Time("setChunk", [&] { SetChunk(*module, big); });
    saving = true;
    saver = std::thread(saveEvery5Ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    saving = false;
    saver.join();
    audio->Stop();
    module->Dispatch(vst::effMainsChanged, 0, 0);
    calls.Time("close while loading", [&] { module->Close(); });
    const auto unloading = Clock::now();
    module.reset();
    const double unloadMs = Ms(Clock::now() - unloading);

    std::printf("instrument: %d zones, %.0f MB of preloads\n", kKeys << kVelocityBits,
                kKeys * (1 << kVelocityBits) * kSampleFrames * 4.0 / 1e6);
    if (loaded)
        std::printf("load time (setChunk to first sound): %.1f ms\n", loadMs);
    else
        std::printf("load time: the instrument never sounded\n");
    calls.Print();
    std::printf("library unload (joins the loader): %.1f ms\n", unloadMs);
    std::printf("audio thread: %d blocks of %.2f ms, average %.3f ms, worst %.3f ms\n",
                audio->Blocks(), kBlock / kRate * 1000.0, audio->AverageMs(), audio->WorstMs());
    return 0;
}
