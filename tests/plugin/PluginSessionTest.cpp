// A host's session, through the exported entry only: many instances playing at once and closed
// in any order while the others go on, and the project state saved and restored by the host's
// main thread while its audio thread keeps playing. Nothing may crash, write outside the host's
// buffers, produce samples that are not finite, allocate in the audio thread's calls, lose the
// state, or leave a thread behind.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
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

constexpr int kFrames = 256;

struct Instance {
    std::unique_ptr<VstPluginModule> module;
    std::unique_ptr<hostside::AudioSide> audio;
    std::unique_ptr<hostside::DenseMidi> music;
    std::string fault;

    // One block of music; false once anything went wrong.
    bool Play()
    {
        audio->Send(music->Next(kFrames));
        if (fault.empty()) fault = audio->Render(kFrames);
        return fault.empty();
    }
};

class PluginSession : public ::testing::Test {
protected:
    Instance Open(const std::vector<std::uint8_t>& rack, unsigned seed, bool mixer = true)
    {
        VstPluginModule::Options options;
        options.recordCalls = false;  // the host itself stays quiet on the audio thread
        std::string error;
        Instance instance;
        instance.module = VstPluginModule::Load(MARLET_PLUGIN_PATH, options, error);
        EXPECT_NE(instance.module, nullptr) << error;
        if (!instance.module) return instance;
        instance.module->Dispatch(vst::effOpen);
        instance.module->Dispatch(vst::effMainsChanged, 0, 1);
        // Offline for now: the instruments are loaded when setChunk returns.
        EXPECT_EQ(SetChunk(*instance.module, rack), 1);
        instance.audio = std::make_unique<hostside::AudioSide>(instance.module->Effect(), kFrames);
        instance.music = std::make_unique<hostside::DenseMidi>(seed, mixer);
        return instance;
    }
    static vst::intptr SetChunk(VstPluginModule& module, const std::vector<std::uint8_t>& chunk)
    {
        return module.Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()),
                               const_cast<std::uint8_t*>(chunk.data()));
    }
    static std::vector<std::uint8_t> GetChunk(VstPluginModule& module)
    {
        void* data = nullptr;
        const vst::intptr size = module.Dispatch(vst::effGetChunk, 0, 0, &data);
        if (size <= 0 || !data) return {};
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return {bytes, bytes + size};
    }
    static void ExpectCleanAudio(const Instance& instance, const std::string& name)
    {
        EXPECT_EQ(instance.fault, "") << name;
        EXPECT_EQ(instance.audio->Allocations(), 0u) << name << ": allocations in audio calls";
    }

    testsupport::IsolatedHome home;
    hostside::DemoRacks racks;
};

TEST_F(PluginSession, EightInstancesPlayAtOnceAndCloseInAnotherOrderWhileTheOthersPlay)
{
    // The sanitizers' runtimes start a thread of their own along with the first thread of the
    // process: that one is not ours to account for.
    std::thread([] {}).join();
    const int threadsBefore = hostside::ThreadsOfThisProcess();
    const auto full = racks.Full();
    const auto layered = racks.Layered();
    constexpr int kInstances = 8;
    std::array<Instance, kInstances> instances;
    for (int i = 0; i < kInstances; ++i) {
        instances[static_cast<std::size_t>(i)] =
            Open(i % 2 ? layered : full, static_cast<unsigned>(i + 1));
        ASSERT_NE(instances[static_cast<std::size_t>(i)].audio, nullptr);
    }

    // Hosts that process each plug-in on a thread of its own.
    {
        std::vector<std::thread> threads;
        for (Instance& instance : instances)
            threads.emplace_back([&instance] {
                for (int block = 0; block < 100 && instance.Play(); ++block) {
                }
            });
        for (auto& t : threads) t.join();
    }

    // One audio thread plays every instance still in its list; the main thread takes them
    // out one at a time, in an order of its own, and closes each once the audio thread has
    // finished the cycle it was in.
    std::array<std::atomic<bool>, kInstances> listed {};
    for (auto& l : listed) l.store(true);
    std::atomic<bool> finished {false};
    std::atomic<std::uint64_t> cycles {0};
    std::thread audio([&] {
        while (!finished.load()) {
            for (int i = 0; i < kInstances; ++i)
                if (listed[static_cast<std::size_t>(i)].load())
                    instances[static_cast<std::size_t>(i)].Play();
            cycles.fetch_add(1);
        }
    });
    const auto awaitCycles = [&](std::uint64_t count) {
        const std::uint64_t until = cycles.load() + count;
        EXPECT_TRUE(testsupport::WaitFor([&] { return cycles.load() >= until; },
                                         "the audio thread's cycles over the instances"));
    };
    awaitCycles(20);
    const int order[kInstances] = {5, 0, 7, 2, 6, 1, 4, 3};
    for (int i : order) {
        listed[static_cast<std::size_t>(i)].store(false);
        awaitCycles(2);  // the cycle under way may still have been playing it
        instances[static_cast<std::size_t>(i)].module->Close();
        awaitCycles(12);  // the others play on
    }
    finished.store(true);
    audio.join();

    for (int i = 0; i < kInstances; ++i) {
        const Instance& instance = instances[static_cast<std::size_t>(i)];
        ExpectCleanAudio(instance, "instance " + std::to_string(i));
        // Loaded before the first block and never reloaded: the music plays throughout.
        EXPECT_GT(instance.audio->SoundingBlocks(), instance.audio->Blocks() / 4)
            << "instance " << i << ": the music hardly played";
    }
    EXPECT_EQ(hostside::ThreadsOfThisProcess(), threadsBefore) << "after every effClose";
}

TEST_F(PluginSession, StateSavedAndRestoredWhileTheAudioThreadPlays)
{
    const std::vector<std::uint8_t> racksInTurn[] = {racks.Layered(), hostside::DemoRacks::Empty(),
                                                     racks.Full()};  // the last one: opened first
    Instance instance = Open(racksInTurn[2], 7, false);
    ASSERT_NE(instance.audio, nullptr);
    VstPluginModule& module = *instance.module;
    module.SetProcessLevel(2);  // a live host: instruments load while it plays
    // A state saved while instruments still load may still name the layers on their way out
    // (as empty ones); what counts is the rack it opens, which a second instance shows.
    Instance reader = Open(hostside::DemoRacks::Empty(), 1);
    ASSERT_NE(reader.audio, nullptr);
    const auto reopened = [&](const std::vector<std::uint8_t>& state) {
        EXPECT_EQ(SetChunk(*reader.module, state), 1);  // offline: loaded when it returns
        return GetChunk(*reader.module);
    };

    std::atomic<bool> finished {false};
    std::atomic<bool> stopped {false};
    std::thread audio([&] {
        while (!finished.load() && instance.Play()) {
        }
        stopped.store(true);
    });
    std::vector<std::uint8_t> expected = racksInTurn[2];
    std::vector<std::uint8_t> project;
    std::vector<std::uint8_t> projectRack;
    int silentRacks = 0;
    for (int round = 0; round < 18; ++round) {
        // The host saves its project...
        const std::vector<std::uint8_t> saved = GetChunk(module);
        EXPECT_EQ(reopened(saved), expected) << "the state saved in round " << round;
        if (round % 3 == 0) {
            project = saved;
            projectRack = expected;
        }
        // ...opens others, and reopens the one it saved.
        const std::vector<std::uint8_t>& next = round % 3 == 2 ? project : racksInTurn[round % 3];
        const std::size_t blocks = instance.audio->Blocks();
        const std::size_t sounding = instance.audio->SoundingBlocks();
        EXPECT_EQ(SetChunk(module, next), 1);
        expected = round % 3 == 2 ? projectRack : next;
        // The audio thread plays on while the rack loads, and a rack with instruments is heard.
        const bool sounds = round % 3 != 1;  // all but the empty rack
        if (!testsupport::PollUntil([&] {
                return stopped.load() ||
                       (instance.audio->Blocks() >= blocks + 40 &&
                        (!sounds || instance.audio->SoundingBlocks() >= sounding + 40));
            }))
            ++silentRacks;
    }
    finished.store(true);
    audio.join();
    EXPECT_EQ(reopened(GetChunk(module)), expected) << "the state saved at the end";
    ExpectCleanAudio(instance, "the instance");
    EXPECT_EQ(silentRacks, 0) << "racks with instruments that did not sound within "
                              << testsupport::WaitDeadline().count() << " ms of being handed over";
}

}  // namespace
