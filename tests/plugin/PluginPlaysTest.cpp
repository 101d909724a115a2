// The whole way from host state to sound, through the plug-in binary: a performance given with
// setChunk makes the right tones play the right notes at the right pitch on their buses.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "tests/plugin/HostSide.h"
#include "tests/support/Signal.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

// One looped second of a 441 Hz sine with its unity note on key 60.
testsupport::GigFilePlan SineBank()
{
    testsupport::GigFilePlan plan;
    auto& sample = plan.samples[0];
    sample.frames = 44100;
    sample.loop = true;
    sample.loopEnd = 44099;
    for (int i = 0; i < sample.frames; ++i)
        sample.values.push_back(static_cast<std::int32_t>(
            16000.0 * std::sin(2.0 * std::numbers::pi * 441.0 * i / 44100.0)));
    auto& zone = plan.instruments[0].regions[0].fill;
    zone.loop = true;
    zone.loopLength = 44100;
    return plan;
}

class PluginPlays : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::GigWriter(SineBank()).Write(gig);
        std::string error;
        module = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        ASSERT_NE(module, nullptr) << error;
        effect = module->Effect();
        module->Dispatch(vst::effOpen);
        module->Dispatch(vst::effMainsChanged, 0, 1);
    }
    // Host state made by a player of our own: tone t on channel t and bus `buses[t]`.
    std::vector<std::uint8_t> Performance(const std::vector<int>& buses)
    {
        return hostside::HostState([&](GigaPlayer& player) {
            for (std::size_t t = 0; t < buses.size(); ++t) {
                player.Giga(static_cast<int>(t))->AddLayer(gig, 0);
                player.Giga(static_cast<int>(t))->SetOutputBus(buses[t]);
            }
        });
    }
    void Note(int channel, int key)
    {
        hostside::SendEvents(*module, {hostside::Midi(0x90 | channel, key, 127)});
    }
    // The left channel of every bus over `blocks` blocks of 512 frames.
    std::vector<std::vector<float>> Render(int blocks)
    {
        std::vector<std::vector<float>> left(16);
        std::vector<std::vector<float>> channels(32, std::vector<float>(512));
        std::vector<float*> pointers;
        for (auto& c : channels) pointers.push_back(c.data());
        for (int b = 0; b < blocks; ++b) {
            effect->processReplacing(effect, nullptr, pointers.data(), 512);
            for (int bus = 0; bus < 16; ++bus)
                left[static_cast<std::size_t>(bus)].insert(
                    left[static_cast<std::size_t>(bus)].end(),
                    channels[static_cast<std::size_t>(2 * bus)].begin(),
                    channels[static_cast<std::size_t>(2 * bus)].end());
        }
        return left;
    }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    std::string gig = folder.File("sine.gig");
    std::unique_ptr<VstPluginModule> module;
    AEffect* effect = nullptr;
};

TEST_F(PluginPlays, TonesPlayTheirNotesAtTheirPitchOnTheirBuses)
{
    auto chunk = Performance({2, 5});
    // marlet-host's module says it renders offline: the instruments are loaded on return.
    ASSERT_EQ(
        module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()), chunk.data()),
        1);
    Note(0, 60);
    Note(1, 72);
    const auto buses = Render(40);
    EXPECT_NEAR(testsupport::Frequency(buses[2]), 441.0, 1.0);
    EXPECT_NEAR(testsupport::Frequency(buses[5]), 882.0, 2.0);
    for (int bus = 0; bus < 16; ++bus) {
        if (bus != 2 && bus != 5) {
            EXPECT_EQ(testsupport::Peak(buses[static_cast<std::size_t>(bus)]), 0.0f) << bus;
        }
    }
}

}  // namespace
