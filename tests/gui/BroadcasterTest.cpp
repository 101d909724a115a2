#include "gui/XBroadcaster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records which operation was called, with its value.
struct Recorder : XListener {
    std::vector<std::string> calls;
    XBroadcaster* echo = nullptr;   // broadcasts again from inside the callback
    XBroadcaster* leave = nullptr;  // removes `victim` from inside the callback
    XListener* victim = nullptr;

    void Record(const char* name, int v)
    {
        calls.push_back(std::string(name) + ":" + std::to_string(v));
        if (echo) echo->Broadcast(nullptr, v + 1);
        if (leave) leave->RemoveListener(victim);
    }
    void Notify(XControl*, std::int32_t c) override { Record("Notify", c); }
    void ButtonClicked(XButton*, std::int32_t c) override { Record("Button", c); }
    void ToggleChanged(XToggle*, std::int32_t c) override { Record("Toggle", c); }
    void KindTwoNotify(XControl*, std::int32_t c) override { Record("Two", c); }
    void SliderChanged(XSlider*, std::int32_t c) override { Record("Slider", c); }
    void SelectChanged(XSelect*, std::int32_t c) override { Record("Select", c); }
    void KindOneNotify(XControl*, std::int32_t c) override { Record("One", c); }
    void TabChanged(XTabs*, std::int32_t c) override { Record("Tab", c); }
    void ListNotify(XControl*, std::int32_t c) override { Record("List", c); }
    void TreeNotify(XControl*, std::int32_t c) override { Record("Tree", c); }
    void EditNotify(XControl*, std::int32_t c) override { Record("Edit", c); }
};

TEST(Broadcaster, TheKindChoosesTheGenericOperation)
{
    const char* expected[] = {"Notify:7", "One:7", "Two:7", "List:7", "Tree:7", "Edit:7"};
    for (int kind = 0; kind <= 5; ++kind) {
        XBroadcaster b(kind);
        Recorder r;
        b.AddListener(&r);
        b.Broadcast(nullptr, 7);
        ASSERT_EQ(r.calls.size(), 1u);
        EXPECT_EQ(r.calls[0], expected[kind]);
    }
    XBroadcaster unknown(42);
    Recorder r;
    unknown.AddListener(&r);
    unknown.Broadcast(nullptr, 1);
    EXPECT_TRUE(r.calls.empty());
}

TEST(Broadcaster, TypedBroadcastsReachEveryListenerInOrder)
{
    XBroadcaster b;
    Recorder first, second;
    b.AddListener(&first);
    b.AddListener(nullptr);
    b.AddListener(&second);
    b.ButtonClicked(nullptr, 0);
    b.ToggleChanged(nullptr, 1);
    b.SliderChanged(nullptr, 2);
    b.SelectChanged(nullptr, 3);
    b.TabChanged(nullptr, 4);
    const std::vector<std::string> all {"Button:0", "Toggle:1", "Slider:2", "Select:3", "Tab:4"};
    EXPECT_EQ(first.calls, all);
    EXPECT_EQ(second.calls, all);
    EXPECT_EQ(b.ListenerCount(), 2);
}

TEST(Broadcaster, ABroadcastFromInsideAListenerIsDropped)
{
    XBroadcaster b;
    Recorder r;
    r.echo = &b;
    b.AddListener(&r);
    b.Broadcast(nullptr, 1);
    EXPECT_EQ(r.calls, std::vector<std::string> {"Notify:1"});
    EXPECT_FALSE(b.IsBusy());
}

TEST(Broadcaster, AListenerRemovedDuringABroadcastIsNotCalledAgain)
{
    XBroadcaster b;
    Recorder remover, removed, self;
    remover.leave = &b;
    remover.victim = &removed;
    b.AddListener(&remover);
    b.AddListener(&removed);
    b.Broadcast(nullptr, 1);
    EXPECT_TRUE(removed.calls.empty());
    EXPECT_EQ(b.ListenerCount(), 1);

    // A listener that removes itself mid-broadcast still lets the others hear it.
    self.leave = &b;
    self.victim = &self;
    Recorder after;
    b.AddListener(&self);
    b.AddListener(&after);
    b.Broadcast(nullptr, 2);
    EXPECT_EQ(self.calls.size(), 1u);
    EXPECT_EQ(after.calls.size(), 1u);
    EXPECT_EQ(b.ListenerCount(), 2);
}

}  // namespace
