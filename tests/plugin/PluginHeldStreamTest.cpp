// A live plug-in plays the demo's drone, which streams from disk, and the disk thread's read of
// the bank does not end (a drive that stopped answering): effClose and unloading the library
// return all the same, the thread ends on its own once the read returns (ASan and TSan watch
// what it touches then), and a new instance streams again. The program exports the platform's
// seam for stream reads (MarletFileReading).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/plugin/DemoRacks.h"
#include "tests/plugin/HostSide.h"
#include "tests/support/HeldReads.h"
#include "tests/support/WaitFor.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

testsupport::HeldReads& StreamReads()
{
    // Never destroyed: a thread given up may come by at exit.
    static auto* reads = new testsupport::HeldReads;
    return *reads;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void MarletFileReading(const char* path)
{
    StreamReads().Opening(path);
}

namespace {

using hostside::ThreadsOfThisProcess;
using testsupport::WaitFor;

constexpr vst::intptr kLive = 2;
constexpr int kDroneKey = 45;

struct LiveHost {
    std::unique_ptr<VstPluginModule> module;
    std::vector<std::vector<float>> channels =
        std::vector<std::vector<float>>(32, std::vector<float>(256));
    std::vector<float*> pointers;

    explicit LiveHost(const std::vector<std::uint8_t>& chunk)
    {
        VstPluginModule::Options options;
        options.processLevel = kLive;
        std::string error;
        module = VstPluginModule::Load(MARLET_PLUGIN_PATH, options, error);
        if (!module) {
            ADD_FAILURE() << error;
            return;
        }
        for (auto& channel : channels) pointers.push_back(channel.data());
        module->Dispatch(vst::effOpen);
        module->Dispatch(vst::effMainsChanged, 0, 1);
        module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()),
                         const_cast<std::uint8_t*>(chunk.data()));
    }
    // One block; answers its peak.
    float Block()
    {
        module->Effect()->processReplacing(module->Effect(), nullptr, pointers.data(), 256);
        float peak = 0.0f;
        for (const auto& channel : channels)
            for (float value : channel) peak = std::max(peak, std::fabs(value));
        return peak;
    }
    // The drone sounds: the instrument has loaded in the background (notes sent before that
    // find no instrument, so the note is sent until one sounds).
    bool PlayDrone()
    {
        return WaitFor(
            [&] {
                hostside::SendEvents(*module, {hostside::Midi(0x90, kDroneKey, 100)});
                return Block() > 0.001f;
            },
            "the drone sounding");
    }
    // The disk thread reads the drone's stream, held there. A note whose stream came too late on
    // a slow machine has run out of its head meanwhile: one more is played now and then.
    bool AwaitStreamRead(const std::string& bank)
    {
        int blocks = 0;
        return WaitFor(
            [&] {
                if (++blocks % 256 == 0)
                    hostside::SendEvents(*module, {hostside::Midi(0x90, kDroneKey, 100)});
                Block();
                return StreamReads().AwaitHeld(bank, std::chrono::milliseconds(0));
            },
            "the disk thread reading the drone's stream");
    }
};

TEST(PluginHeldStream, CloseAndUnloadReturnWhileTheDiskThreadIsHeldInAReadAndANewInstanceStreams)
{
    testsupport::IsolatedHome home;
    const hostside::DemoRacks racks;
    const std::string& bank = racks.Bank();
    const auto chunk = racks.Drone();
    // A sanitizer's runtime starts a thread of its own with the first thread: one made and gone
    // before the count leaves it out of the difference.
    std::thread([] {}).join();
    const int threadsBefore = ThreadsOfThisProcess();

    StreamReads().Hold(bank);
    const bool returned = testsupport::ReturnsWithin(
        "effClose and unloading the library",
        [&] {
            LiveHost host(chunk);
            if (!host.module) return;
            EXPECT_TRUE(host.PlayDrone());
            EXPECT_TRUE(host.AwaitStreamRead(bank));
            host.module->Close();
            host.module.reset();
        },
        [&] { StreamReads().Release(bank); });
    EXPECT_TRUE(returned) << "closing waited for the disk thread's read";
    StreamReads().Release(bank);
    EXPECT_TRUE(WaitFor([&] { return ThreadsOfThisProcess() <= threadsBefore; },
                        "the disk thread given up ending once its read returned"));

    // A new instance gets a disk thread that reads the stream, and closes as ever once the read
    // goes on.
    StreamReads().Hold(bank);
    LiveHost again(chunk);
    ASSERT_TRUE(again.module);
    EXPECT_TRUE(again.PlayDrone());
    EXPECT_TRUE(again.AwaitStreamRead(bank));
    StreamReads().Release(bank);
    EXPECT_TRUE(testsupport::ReturnsWithin(
        "effClose", [&] { again.module->Close(); }, [] {}));
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "a thread of ours outlived effClose";
}

}  // namespace
