// What plug-in validators do to a plug-in, through its exported entry only: odd block sizes,
// changing sample rates, hostile chunks and events. Nothing may crash, write outside the host's
// buffers, or produce samples that are not finite.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/TempFolder.h"
#include "tests/plugin/AudioSide.h"
#include "tests/plugin/DemoRacks.h"
#include "tests/plugin/DenseMidi.h"
#include "tests/plugin/HostSide.h"
#include "tests/support/WaitFor.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

// Seconds of audio the long run renders (as fast as the machine goes): MARLET_STRESS_SECONDS,
// else less under the sanitizers, which run many times slower.
int StressSeconds()
{
    if (const char* text = std::getenv("MARLET_STRESS_SECONDS"); text && std::atoi(text) > 0)
        return std::atoi(text);
#if defined(__SANITIZE_THREAD__)
    return 30;
#elif defined(__SANITIZE_ADDRESS__)
    return 90;
#else
    return 150;
#endif
}

class PluginStress : public ::testing::Test {
protected:
    void SetUp() override
    {
        VstPluginModule::Options options;
        options.recordCalls = false;  // the host itself stays quiet on the audio thread
        std::string error;
        module = VstPluginModule::Load(MARLET_PLUGIN_PATH, options, error);
        ASSERT_NE(module, nullptr) << error;
        effect = module->Effect();
        audio = std::make_unique<hostside::AudioSide>(effect, 8192);
        module->Dispatch(vst::effOpen);
        module->Dispatch(vst::effMainsChanged, 0, 1);
    }
    std::vector<std::uint8_t> DemoRack() { return racks.Full(); }
    vst::intptr SetChunk(const std::vector<std::uint8_t>& chunk)
    {
        return module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()),
                                const_cast<std::uint8_t*>(chunk.data()));
    }
    void Events(const std::vector<VstMidiEvent>& midi) { audio->Send(midi); }
    void Block(int frames) { ASSERT_EQ(audio->Render(frames), ""); }
    void TearDown() override
    {
        if (audio) {
            EXPECT_EQ(audio->Allocations(), 0u) << "allocations in the audio thread's calls";
        }
    }
    static VstMidiEvent Midi(int status, int data1, int data2, int delta)
    {
        return hostside::Midi(status, data1, data2, delta);
    }

    testsupport::IsolatedHome home;
    hostside::DemoRacks racks;
    std::unique_ptr<VstPluginModule> module;
    AEffect* effect = nullptr;
    std::unique_ptr<hostside::AudioSide> audio;
};

TEST_F(PluginStress, OddBlocksRatesAndEventsWithInstrumentsPlaying)
{
    auto chunk = DemoRack();
    ASSERT_EQ(SetChunk(chunk), 1);
    std::mt19937 random(5);
    const int sizes[] = {1, 7, 64, 511, 4096, 8192};
    const float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
    for (int round = 0; round < 120; ++round) {
        if (round % 10 == 0)
            module->Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rates[random() % 5]);
        const int frames = round < 60 ? sizes[round % 6] : 1 + static_cast<int>(random() % 3000);
        std::vector<VstMidiEvent> midi;
        for (int e = 0; e < 8; ++e) {
            const int channel = static_cast<int>(random() % 16);
            const int kind = static_cast<int>(random() % 6);
            const int statuses[] = {0x90, 0x80, 0xB0, 0xE0, 0xC0, 0xF0};
            // Delta frames outside the block, negative ones too.
            midi.push_back(Midi(statuses[kind] | (kind < 5 ? channel : 0),
                                static_cast<int>(random() % 128), static_cast<int>(random() % 128),
                                static_cast<int>(random() % 20000) - 5000));
        }
        Events(midi);
        Block(frames);
    }
    // All notes off and a few silent blocks: everything ends cleanly.
    for (int channel = 0; channel < 16; ++channel) Events({Midi(0xB0 | channel, 123, 0, 0)});
    for (int i = 0; i < 4; ++i) Block(512);
}

TEST_F(PluginStress, HostileChunksLeaveAWorkingPlugin)
{
    std::mt19937 random(9);
    std::vector<std::uint8_t> bytes(4096);
    for (int round = 0; round < 50; ++round) {
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        const auto size = static_cast<vst::intptr>(random() % bytes.size());
        EXPECT_EQ(module->Dispatch(vst::effSetChunk, 0, size, bytes.data()), 1);
    }
    std::uint8_t one = 0;
    EXPECT_EQ(module->Dispatch(vst::effSetChunk, 0, 0, &one), 1) << "an empty chunk";
    EXPECT_EQ(module->Dispatch(vst::effSetChunk, 0, -1, bytes.data()), 0) << "a negative size";
    // A huge claimed size with a small buffer would be read out of bounds by the plug-in: hosts
    // never do that, so it is not tried. A genuinely large chunk of garbage is.
    std::vector<std::uint8_t> large(8 << 20, 0x41);
    EXPECT_EQ(
        module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(large.size()), large.data()),
        1);

    auto rack = DemoRack();
    ASSERT_EQ(SetChunk(rack), 1);
    void* data = nullptr;
    const auto size = module->Dispatch(vst::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(static_cast<std::uint8_t*>(data),
                                        static_cast<std::uint8_t*>(data) + size),
              rack);
    Events({Midi(0x90, 60, 100, 0)});
    Block(512);
}

TEST_F(PluginStress, DenseMidiOnEveryChannelWhileRacksLoadAndUnloadInTheBackground)
{
    const auto full = racks.Full();
    const auto layered = racks.Layered();
    const auto empty = hostside::DemoRacks::Empty();
    std::vector<std::uint8_t> garbage(3000);
    std::mt19937 random(11);
    for (auto& b : garbage) b = static_cast<std::uint8_t>(random());

    // The counting hook must see what the plug-in allocates on this thread: a host state read
    // inside the library allocates. Were the library's operator new not ours, the count would
    // stay zero and every "no allocation" below would prove nothing.
    {
        testsupport::AllocationCounter counter;
        ASSERT_EQ(SetChunk(full), 1);
        ASSERT_GT(counter.Count(), 0u) << "the hook does not see the plug-in's allocations";
    }
    // From here on a live host: instruments load in the background while it plays.
    module->SetProcessLevel(2);

    constexpr int kFrames = 256;
    // Blocks the audio plays each rack for at least; a rack with instruments sounds in as many
    // before the next one comes.
    constexpr std::size_t kBlocksPerRack = 80;
    const auto blocks = static_cast<std::size_t>(StressSeconds()) * 44100 / kFrames;
    std::atomic<bool> done {false};
    std::atomic<int> swaps {0};
    std::atomic<int> refused {0};
    std::atomic<int> silentRacks {0};
    std::thread loader([&] {
        struct Rack {
            const std::vector<std::uint8_t>* bytes;
            bool sounds;
        };
        const Rack order[] = {{&empty, false},  {&layered, true}, {&garbage, false}, {&full, true},
                              {&layered, true}, {&empty, false},  {&full, true}};
        for (std::size_t i = 0; !done.load(); ++i) {
            const Rack& rack = order[i % std::size(order)];
            const std::size_t blocksBefore = audio->Blocks();
            const std::size_t soundingBefore = audio->SoundingBlocks();
            if (SetChunk(*rack.bytes) != 1) ++refused;
            if (i % 3 == 0) {
                void* data = nullptr;
                if (module->Dispatch(vst::effGetChunk, 0, 0, &data) <= 0 || !data) ++refused;
            }
            // The audio plays on with the rack while it loads in the background, and hears it.
            const bool heard = testsupport::PollUntil([&] {
                return done.load() || (audio->Blocks() >= blocksBefore + kBlocksPerRack &&
                                       (!rack.sounds || audio->SoundingBlocks() >=
                                                            soundingBefore + kBlocksPerRack));
            });
            if (!heard) ++silentRacks;
            ++swaps;
        }
    });

    hostside::DenseMidi music(3);
    std::string fault;
    // At least the audio asked for, and on until the racks have changed a good many times.
    constexpr int kSwaps = 12;
    for (std::size_t block = 0; (block < blocks || swaps.load() < kSwaps) && fault.empty();
         ++block) {
        Events(music.Next(kFrames));
        fault = audio->Render(kFrames);
    }
    done.store(true);
    loader.join();

    EXPECT_EQ(fault, "") << "after " << audio->Blocks() << " blocks";
    EXPECT_EQ(refused.load(), 0) << "a host state was refused";
    EXPECT_EQ(silentRacks.load(), 0)
        << "racks with instruments that did not sound within "
        << testsupport::WaitDeadline().count() << " ms of being handed over";
}

}  // namespace
