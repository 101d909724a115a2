// A live host's calls while the background loader is held inside a load pass: saving and
// loading the state, closing the instance being loaded and opening another all return without
// waiting for the pass. The loader is held deterministically inside the opening of an
// instrument, through the platform's seam for reads that do not end (tests/support/HeldReads).
#include <gtest/gtest.h>

#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/TempFolder.h"
#include "tests/plugin/HostSide.h"
#include "tests/support/HeldReads.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

using testsupport::HeldReads;
using testsupport::kReturnDeadline;

// An instrument file whose opening waits until released (an empty file: it loads as damaged).
class HeldFile {
public:
    explicit HeldFile(std::string path) : path_(std::move(path))
    {
        testsupport::WriteFileBytes(path_, "", 0);
        HeldReads::Instance().Hold(path_);
    }
    ~HeldFile() { Release(); }
    const std::string& Path() const { return path_; }
    bool AwaitReader() { return HeldReads::Instance().AwaitHeld(path_); }
    void Release() { HeldReads::Instance().Release(path_); }

private:
    std::string path_;
};

enum class HostCall { kGetChunk, kSetChunk, kCloseTheLoadingInstance, kOpenAndCloseAnother };

std::unique_ptr<VstPluginModule> OpenLive()
{
    VstPluginModule::Options options;
    options.processLevel = 2;  // live: the state loads in the background
    std::string error;
    auto module = VstPluginModule::Load(MARLET_PLUGIN_PATH, options, error);
    EXPECT_NE(module, nullptr) << error;
    if (!module) return nullptr;
    module->Dispatch(vst::effOpen);
    module->Dispatch(vst::effMainsChanged, 0, 1);
    return module;
}

vst::intptr SetChunk(VstPluginModule& module, const std::vector<std::uint8_t>& chunk)
{
    return module.Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()),
                           const_cast<std::uint8_t*>(chunk.data()));
}

std::vector<std::uint8_t> GetChunk(VstPluginModule& module)
{
    void* data = nullptr;
    const vst::intptr size = module.Dispatch(vst::effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}

class PluginHostCalls : public ::testing::TestWithParam<HostCall> {
protected:
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
};

TEST_P(PluginHostCalls, ReturnWhileTheLoaderIsHeldInsideAPass)
{
    const std::string first = folder.File("first.gig");
    testsupport::WriteFileBytes(first, "", 0);
    HeldFile second(folder.File("second.gig"));
    const auto rack = hostside::HostState([&](GigaPlayer& player) {
        player.Giga(0)->AddLayer(first, 0);
        player.Giga(1)->AddLayer(second.Path(), 0);
    });
    const auto empty = hostside::HostState([](GigaPlayer&) {});
    auto module = OpenLive();
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(SetChunk(*module, rack), 1);
    // The pass opens the first instrument, then waits in the second one until it is released.
    ASSERT_TRUE(second.AwaitReader()) << "the loader never opened the second instrument";

    auto call = std::async(std::launch::async, [&] {
        switch (GetParam()) {
            case HostCall::kGetChunk:
                return GetChunk(*module);
            case HostCall::kSetChunk:
                SetChunk(*module, empty);
                return GetChunk(*module);  // the state just given
            case HostCall::kCloseTheLoadingInstance:
                module->Close();
                break;
            case HostCall::kOpenAndCloseAnother:
                if (auto other = OpenLive()) other->Close();
                break;
        }
        return std::vector<std::uint8_t> {};
    });
    const bool returned = call.wait_for(kReturnDeadline) == std::future_status::ready;
    second.Release();
    const std::vector<std::uint8_t> chunk = call.get();
    EXPECT_TRUE(returned) << "the host call waited for the load pass";
    if (GetParam() == HostCall::kGetChunk) {
        EXPECT_FALSE(chunk.empty());
    }
    if (GetParam() == HostCall::kSetChunk) {
        EXPECT_EQ(chunk, empty);
    }
}

// A read that never ends (a dead network drive): closing the instance and unloading the
// library return all the same, and the loader, once let go, ends on its own in code that stayed
// loaded for it.
TEST_F(PluginHostCalls, CloseAndUnloadWhileTheLoaderIsHeldInAReadThatNeverEndsReturn)
{
    HeldFile held(folder.File("never.gig"));
    const auto rack =
        hostside::HostState([&](GigaPlayer& player) { player.Giga(3)->AddLayer(held.Path(), 0); });
    // A sanitizer's runtime starts a thread of its own with the first thread: one made and gone
    // before the count leaves it out of the difference.
    std::thread([] {}).join();
    const int threadsBefore = hostside::ThreadsOfThisProcess();
    auto module = OpenLive();
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(SetChunk(*module, rack), 1);
    ASSERT_TRUE(held.AwaitReader()) << "the loader never opened the instrument";

    EXPECT_TRUE(testsupport::ReturnsWithin(
        "effClose and unloading the library", [&] { module.reset(); }, [&] { held.Release(); }))
        << "closing or unloading waited for the held loader";
    held.Release();
    EXPECT_TRUE(testsupport::Eventually([&] {
        return hostside::ThreadsOfThisProcess() <= threadsBefore;
    })) << "the loader, let go, never ended";
}

std::string CallName(const ::testing::TestParamInfo<HostCall>& info)
{
    constexpr const char* kNames[] = {"GetChunk", "SetChunk", "CloseTheLoadingInstance",
                                      "OpenAndCloseAnother"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Live, PluginHostCalls,
                         ::testing::Values(HostCall::kGetChunk, HostCall::kSetChunk,
                                           HostCall::kCloseTheLoadingInstance,
                                           HostCall::kOpenAndCloseAnother),
                         CallName);

}  // namespace
