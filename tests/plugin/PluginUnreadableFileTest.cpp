// A performance that names something other than a file on disk where an instrument should be:
// a named pipe called x.gig, which a plain open for reading waits on until somebody writes. The
// host's calls, closing the instance and unloading the library return at once, offline and
// live, the performance keeps the instrument, and its other instruments load and play.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "tests/plugin/HostSide.h"
#include "tests/support/HeldReads.h"
#include "tools/marlet-demo/DemoInstrument.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

constexpr vst::intptr kOffline = 4;
constexpr vst::intptr kLive = 2;

// A note for tone 1 (MIDI channel 1), and the peak of all outputs over a few blocks.
float PlayToneOne(VstPluginModule& module)
{
    std::vector<std::vector<float>> channels(32, std::vector<float>(256));
    std::vector<float*> pointers;
    for (auto& channel : channels) pointers.push_back(channel.data());
    hostside::SendEvents(module, {hostside::Midi(0x91, 60, 110)});
    float peak = 0.0f;
    for (int block = 0; block < 8; ++block) {
        module.Effect()->processReplacing(module.Effect(), nullptr, pointers.data(), 256);
        for (const auto& channel : channels)
            for (float value : channel) peak = std::max(peak, std::fabs(value));
    }
    hostside::SendEvents(module, {hostside::Midi(0x81, 60, 0)});
    return peak;
}

std::string Chunk(VstPluginModule& module)
{
    void* data = nullptr;
    const vst::intptr size = module.Dispatch(vst::effGetChunk, 0, 0, &data);
    return size > 0 && data ? std::string(static_cast<const char*>(data), size) : std::string();
}

class PluginPipeInstrument : public ::testing::TestWithParam<vst::intptr> {
protected:
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
};

TEST_P(PluginPipeInstrument, IsRefusedWhileTheRestLoadsAndCloseAndUnloadReturn)
{
    const std::string bank = folder.File("demo.gig");
    testsupport::GigWriter(demo::DemoBank()).Write(bank);
    testsupport::Pipe pipe(folder.File("x.gig"));
    const auto rack = hostside::HostState([&](GigaPlayer& player) {
        player.Giga(0)->AddLayer(pipe.Path(), 0);
        player.Giga(1)->AddLayer(bank, demo::kKeys);
    });

    bool played = false;
    std::string saved;
    const bool returned = testsupport::ReturnsWithin(
        "effSetChunk, effClose and unloading the library",
        [&] {
            VstPluginModule::Options options;
            options.processLevel = GetParam();
            std::string error;
            auto module = VstPluginModule::Load(MARLET_PLUGIN_PATH, options, error);
            if (!module) {
                ADD_FAILURE() << error;
                return;
            }
            module->Dispatch(vst::effOpen);
            module->Dispatch(vst::effMainsChanged, 0, 1);
            module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(rack.size()),
                             const_cast<std::uint8_t*>(rack.data()));
            played = testsupport::Eventually([&] { return PlayToneOne(*module) > 0.01f; });
            saved = Chunk(*module);
            module->Close();
            module.reset();
        },
        [&] { pipe.Unblock(); });
    EXPECT_TRUE(returned) << "a host call or the unload waited on the pipe";
    EXPECT_TRUE(played) << "tone 1's instrument never played";
    EXPECT_NE(saved.find(pipe.Path()), std::string::npos) << "the performance lost the pipe";
}

INSTANTIATE_TEST_SUITE_P(ProcessLevels, PluginPipeInstrument, ::testing::Values(kOffline, kLive),
                         [](const auto& info) {
                             return std::string(info.param == kOffline ? "Offline" : "Live");
                         });

}  // namespace
