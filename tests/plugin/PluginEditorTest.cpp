// The plug-in's editor as hosts open it: through the binary interface, into a window of the
// test's own on a virtual X server, with the demo rack loaded and playing. The program starts
// that server itself (tests/support/VirtualDisplayEnvironment.h); without Xvfb every test here
// skips.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/plugin/DemoRacks.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/VirtualDisplayEnvironment.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XDisplayConnection.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

using testsupport::HeapInUse;
using testsupport::OpenDescriptors;

class PluginEditor : public testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = testsupport::VirtualDisplayEnvironment::Missing(); !why.empty())
            GTEST_SKIP() << why;
        c_ = testsupport::ConnectToTestDisplay();
        ASSERT_NE(c_, nullptr);
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        parent_ = NewParent();
        plugin_ = Plugin();
    }

    void TearDown() override
    {
        plugin_.reset();
        if (c_) xcb_disconnect(c_);
    }

    xcb_window_t NewParent()
    {
        const xcb_window_t window = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, screen_->root, 0, 0, 800, 560, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        xcb_map_window(c_, window);
        Sync();
        return window;
    }

    // A plug-in playing the demo's layered rack, as a host has it after loading a project.
    std::unique_ptr<VstPluginModule> Plugin()
    {
        std::string error;
        auto module = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        EXPECT_NE(module, nullptr) << error;
        if (!module) return module;
        module->Dispatch(vst::effOpen);
        module->Dispatch(vst::effMainsChanged, 0, 1);
        std::vector<std::uint8_t> state = racks_.Layered();
        module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(state.size()), state.data());
        return module;
    }

    void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    int Children(xcb_window_t window)
    {
        Sync();
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr);
        const int n = tree ? xcb_query_tree_children_length(tree) : -1;
        std::free(tree);
        return n;
    }

    vst::intptr Open(VstPluginModule& module, xcb_window_t parent)
    {
        return module.Dispatch(vst::effEditOpen, 0, 0,
                               reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)));
    }

    void Idle(VstPluginModule& module, int times)
    {
        for (int i = 0; i < times; ++i) {
            module.Dispatch(vst::effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // The editor's windows live on the plug-in's own connection, which the server serves in
    // its own time: the count is awaited (the plug-ins idling meanwhile), not read once.
    testing::AssertionResult ChildrenBecome(xcb_window_t window, int count,
                                            std::vector<VstPluginModule*> idling = {})
    {
        int seen = -1;
        auto result = testsupport::WaitFor(
            [&] {
                for (VstPluginModule* module : idling) module->Dispatch(vst::effEditIdle);
                return (seen = Children(window)) == count;
            },
            std::to_string(count) + " child windows");
        if (!result) result << "; the window has " << seen;
        return result;
    }

    hostside::DemoRacks racks_;
    xcb_connection_t* c_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_window_t parent_ = 0;
    std::unique_ptr<VstPluginModule> plugin_;
};

TEST_F(PluginEditor, FiveHundredOpensAndClosesWithTheDemoLoadedLeaveNothingBehind)
{
    ERect* rect = nullptr;
    ASSERT_EQ(plugin_->Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 800);
    EXPECT_EQ(rect->bottom, 560);
    const auto cycle = [&] {
        ASSERT_EQ(Open(*plugin_, parent_), 1);
        Idle(*plugin_, 1);
        plugin_->Dispatch(vst::effEditClose);
    };
    for (int i = 0; i < 20; ++i) cycle();
    EXPECT_TRUE(ChildrenBecome(parent_, 0));
    const int descriptors = OpenDescriptors();
    // The heap's high-water mark over a stretch of cycles: the engine's threads free and take
    // back large blocks now and then, which a single reading could catch in between.
    std::size_t heap = 0;
    for (int i = 0; i < 100; ++i) {
        cycle();
        heap = std::max(heap, HeapInUse());
    }
    for (int i = 0; i < 500; ++i) cycle();
    EXPECT_TRUE(ChildrenBecome(parent_, 0));
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_LE(HeapInUse(), heap + 64 * 1024) << "from " << heap;
}

TEST_F(PluginEditor, OddHostCallsAndTwoInstancesAreSafe)
{
    plugin_->Dispatch(vst::effEditClose);  // never opened
    ASSERT_EQ(Open(*plugin_, parent_), 1);
    ASSERT_EQ(Open(*plugin_, parent_), 1);  // a second open replaces the first window
    Idle(*plugin_, 3);
    EXPECT_TRUE(ChildrenBecome(parent_, 1, {plugin_.get()}));

    // A second instance in the same process, in a window of its own, both idling.
    auto second = Plugin();
    ASSERT_NE(second, nullptr);
    const xcb_window_t otherParent = NewParent();
    ASSERT_EQ(Open(*second, otherParent), 1);
    for (int i = 0; i < 10; ++i) {
        Idle(*plugin_, 1);
        Idle(*second, 1);
    }
    EXPECT_TRUE(ChildrenBecome(otherParent, 1, {plugin_.get(), second.get()}));

    // The host destroys its window before closing the editor, then closes the plug-in with
    // the editor still open.
    xcb_destroy_window(c_, otherParent);
    Sync();
    Idle(*second, 3);
    second.reset();
    plugin_->Close();
    EXPECT_TRUE(ChildrenBecome(parent_, 0));
}

}  // namespace
