// Hosts load and unload plug-in libraries while they run: every load must leave nothing
// behind, no thread of ours and no memory (the ASan build checks the memory).
#include <gtest/gtest.h>

#include <vector>

#include "fixtures/TempFolder.h"
#include "tests/plugin/DemoRacks.h"
#include "tests/plugin/HostSide.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

using hostside::ThreadsOfThisProcess;

void PlayAFewBlocks(AEffect* effect)
{
    std::vector<std::vector<float>> channels(32, std::vector<float>(256));
    std::vector<float*> pointers;
    for (auto& c : channels) pointers.push_back(c.data());
    for (int i = 0; i < 4; ++i) effect->processReplacing(effect, nullptr, pointers.data(), 256);
}

TEST(PluginLifetime, LoadingAndUnloadingTwoHundredTimesLeavesNoThreadBehind)
{
    testsupport::IsolatedHome home;
    const int threadsBefore = ThreadsOfThisProcess();
    for (int round = 0; round < 200; ++round) {
        std::string error;
        auto module = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        ASSERT_NE(module, nullptr) << error;
        module->Dispatch(vst::effOpen);
        module->Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        module->Dispatch(vst::effMainsChanged, 0, 1);
        PlayAFewBlocks(module->Effect());
        module->Dispatch(vst::effMainsChanged, 0, 0);
        module->Close();
        EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "after effClose, round " << round;
    }
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
}

TEST(PluginLifetime, AfterCloseNoThreadRunsEvenWhenInstrumentsStreamed)
{
    testsupport::IsolatedHome home;
    const hostside::DemoRacks racks;
    const auto chunk = racks.Drone();
    const int threadsBefore = ThreadsOfThisProcess();
    for (int round = 0; round < 3; ++round) {
        std::string error;
        auto module = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        ASSERT_NE(module, nullptr) << error;
        module->Dispatch(vst::effOpen);
        module->Dispatch(vst::effMainsChanged, 0, 1);
        ASSERT_EQ(module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()),
                                   const_cast<std::uint8_t*>(chunk.data())),
                  1);
        hostside::SendEvents(*module, {hostside::Midi(0x90, 45, 100)});
        for (int i = 0; i < 30; ++i) PlayAFewBlocks(module->Effect());  // past the preload
        EXPECT_GT(ThreadsOfThisProcess(), threadsBefore) << "the disk thread streams";
        module->Close();
        EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "after effClose, round " << round;
    }
}

TEST(PluginLifetime, TwoInstancesLiveSideBySide)
{
    testsupport::IsolatedHome home;
    std::string error;
    auto first = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
    auto second = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->Dispatch(vst::effOpen);
    second->Dispatch(vst::effOpen);
    PlayAFewBlocks(first->Effect());
    PlayAFewBlocks(second->Effect());
    first->Close();
    PlayAFewBlocks(second->Effect());  // the other instance keeps working
    second->Close();
}

}  // namespace
