// A live host's calls while the background loader is held inside a load pass: saving and
// loading the state, closing the instance being loaded and opening another all return without
// waiting for the pass. The loader is held deterministically: the rack's instruments are named
// pipes, and opening one for reading waits until somebody opens it for writing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/TempFolder.h"
#include "tests/plugin/HostSide.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

using Clock = std::chrono::steady_clock;
// A call that waits for the pass never returns while the loader is held; one that does not
// wait returns within milliseconds. The margin is for slow, shared and instrumented machines.
constexpr auto kPatience = std::chrono::seconds(20);

// A named pipe where an instrument file should be.
class HeldFile {
public:
    explicit HeldFile(std::string path) : path_(std::move(path))
    {
        EXPECT_EQ(mkfifo(path_.c_str(), 0644), 0) << path_;
    }
    ~HeldFile() { Release(); }
    const std::string& Path() const { return path_; }

    // True once a reader is opening the pipe; that reader is let go (and refuses the file, which
    // is no regular one), and the path names an empty regular file from then on.
    bool AwaitReader()
    {
        for (const auto until = Clock::now() + kPatience; Clock::now() < until;) {
            const int writer = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                Replace();
                close(writer);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // Lets a reader waiting in the pipe go on, and any later one open a plain file.
    void Release()
    {
        if (released_) return;
        const int writer = open(path_.c_str(), O_RDWR | O_NONBLOCK);  // never waits
        Replace();
        if (writer >= 0) close(writer);
    }

private:
    void Replace()
    {
        const std::string plain = path_ + ".plain";
        testsupport::WriteFileBytes(plain, "", 0);
        std::rename(plain.c_str(), path_.c_str());
        released_ = true;
    }

    std::string path_;
    bool released_ = false;
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
    HeldFile first(folder.File("first.gig"));
    HeldFile second(folder.File("second.gig"));
    const auto rack = hostside::HostState([&](GigaPlayer& player) {
        player.Giga(0)->AddLayer(first.Path(), 0);
        player.Giga(1)->AddLayer(second.Path(), 0);
    });
    const auto empty = hostside::HostState([](GigaPlayer&) {});
    auto module = OpenLive();
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(SetChunk(*module, rack), 1);
    // The pass opens the first instrument, then waits in the second one until it is released.
    ASSERT_TRUE(first.AwaitReader()) << "the loader never opened the first instrument";

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
    const bool returned = call.wait_for(kPatience) == std::future_status::ready;
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
