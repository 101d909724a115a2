#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/XDragger.h"
#include "gui/XGraphic.h"
#include "gui/XView.h"
#include "platform/FourCC.h"
#include "tests/gui/ControlsRig.h"

namespace {

using controlsrig::DrawAll;
using controlsrig::Log;
using controlsrig::Probe;

class RecordingView : public XView {
public:
    RecordingView(Log* log, std::string name, int w, int h)
        : XView(0, 0, w, h), log_(log), name_(std::move(name))
    {
    }
    ~RecordingView() override
    {
        if (log_) log_->push_back(name_ + " gone");
    }
    void HandleEvent(XEvent* e) override
    {
        log_->push_back(name_ + " event " + std::to_string(e->code));
        if (repost) Post(e->code);  // a handler that posts to itself waits for the next tick
    }
    void PopupClosed(XView* p) override
    {
        log_->push_back(name_ + " closed " + std::to_string(p->PopupId()) + "=" +
                        std::to_string(p->Result()));
    }
    bool KeyDown(XKey* key) override
    {
        log_->push_back(name_ + " key " + std::to_string(key->code));
        return false;
    }
    bool repost = false;

private:
    Log* log_;
    std::string name_;
};

// A root with a container holding a small control: the common rig of these tests.
struct ViewRig : ::testing::Test {
    Log log;
    RecordingView root {&log, "root", 400, 300};
    Probe* box = root.Add<Probe>(&log, "box", 50, 50, 100, 100);
    Probe* item = box->Add<Probe>(&log, "item", 10, 10, 30, 20);
    XGraphic g;

    std::unique_ptr<RecordingView> Popup(const char* name, int w = 100, int h = 80)
    {
        return std::make_unique<RecordingView>(&log, name, w, h);
    }
};

TEST_F(ViewRig, APressReachesTheContainerFirstThenTheChildThatTakesIt)
{
    item->takesPress = true;
    EXPECT_TRUE(root.MouseDownAt(65, 70, 0, true, false));
    EXPECT_EQ(log, (Log {"box MouseDown 15,20", "item MouseDown 5,10"}));
    EXPECT_EQ(root.Focus(), item);
    EXPECT_TRUE(item->lastMouse.shift);
    EXPECT_EQ(item->lastMouse.offsetX, 60);
    log.clear();

    root.MouseMoveTo(70, 90, false, false);  // outside the item: still its drag
    root.MouseMoveTo(70, 90, false, false);  // same point: nothing
    root.MouseUpAt(71, 91);
    XKey key {'a', 0, kKeyChar};
    root.KeyPress(&key);
    EXPECT_EQ(log, (Log {"item MouseDrag 10,30", "item MouseUp", "item Key 97/0", "root key 0"}));

    // Nobody takes it: no focus, and the press reports false.
    log.clear();
    item->takesPress = false;
    EXPECT_FALSE(root.MouseDownAt(65, 70, 1, false, false));
    EXPECT_EQ(root.Focus(), nullptr);
    EXPECT_FALSE(root.ButtonDown());
}

TEST_F(ViewRig, DoubleClicksAndWheelsDescendWithParentCoordinates)
{
    item->takesDouble = true;
    EXPECT_TRUE(root.DoubleClickAt(65, 70));
    EXPECT_EQ(root.Focus(), item);
    box->takesWheel = true;
    root.WheelAt(65, 70, 0, 20);
    EXPECT_EQ(log, (Log {"box DoubleClick 65,70", "item DoubleClick 15,20", "box Wheel 0,20"}));
}

TEST_F(ViewRig, HoverFollowsThePointerAndHoverCallsBeginAfterThirtyTicks)
{
    root.MouseMoveTo(65, 70, false, false);
    root.MouseMoveTo(66, 70, false, false);  // still the item: no new enter
    root.MouseMoveTo(120, 120, false, false);
    EXPECT_EQ(log, (Log {"item Enter", "item Leave", "box Enter"}));
    EXPECT_EQ(root.Hovered(), box);
    log.clear();
    for (std::uint32_t tick = 29; tick <= 32; ++tick) root.Idle(tick);
    EXPECT_EQ(log, (Log {"box Hover", "box Hover"}));  // ticks 31 and 32
}

TEST_F(ViewRig, TheCaretBlinksEveryTenthTick)
{
    item->takesPress = true;
    root.MouseDownAt(65, 70, 0, false, false);
    root.MouseUpAt(65, 70);
    log.clear();
    for (std::uint32_t tick = 1; tick <= 30; ++tick) root.Idle(tick);
    EXPECT_EQ(log, (Log {"item Blink 1", "item Blink 0", "item Blink 1"}));
}

TEST_F(ViewRig, ARemovedControlLeavesNoPointerBehind)
{
    item->takesPress = true;
    root.MouseMoveTo(65, 70, false, false);
    ASSERT_EQ(root.Hovered(), item);
    root.MouseDownAt(65, 70, 0, false, false);  // pressed and held: the capture
    root.SetDefaultButton(item);
    root.SetCancelButton(box);
    bool gone = false;
    item->destroyed_ = &gone;

    box->Remove();  // the item goes with its container
    DrawAll(root, g, false);
    ASSERT_TRUE(gone);
    EXPECT_EQ(root.Focus(), nullptr);
    EXPECT_EQ(root.Hovered(), nullptr);
    EXPECT_FALSE(root.ButtonDown());
    // None of these may reach the destroyed controls.
    log.clear();
    root.MouseMoveTo(66, 71, false, false);
    root.MouseUpAt(66, 71);
    XKey enter {0, 0, kKeyEnter};
    EXPECT_TRUE(root.KeyPress(&enter));
    for (std::uint32_t tick = 1; tick <= 40; ++tick) root.Idle(tick);
    EXPECT_TRUE(log.empty());
}

TEST_F(ViewRig, EnterAndEscapeClickTheButtonsOrCloseADialog)
{
    Probe* ok = root.Add<Probe>(&log, "ok", 200, 200, 40, 20);
    root.SetDefaultButton(ok);
    XKey enter {0, 0, kKeyEnter};
    XKey escape {0, 0, kKeyEscape};
    EXPECT_TRUE(root.KeyPress(&enter));
    EXPECT_EQ(log, (Log {"ok MouseDown 0,0", "ok MouseUp"}));
    EXPECT_FALSE(root.CloseRequested());

    root.SetDialog(true);
    EXPECT_TRUE(root.KeyPress(&escape));
    EXPECT_TRUE(root.CloseRequested());
    EXPECT_EQ(root.Result(), 0);
    root.SetDefaultButton(nullptr);
    EXPECT_TRUE(root.KeyPress(&enter));
    EXPECT_EQ(root.Result(), 1);
}

TEST_F(ViewRig, APopupTakesAllInputAndIsCentred)
{
    auto* popup = root.ShowPopup(Popup("p", 100, 80), FourCC("wset"));
    EXPECT_EQ(popup->X(), 150);
    EXPECT_EQ(popup->Y(), 110);
    EXPECT_EQ(popup->PopupId(), FourCC("wset"));
    EXPECT_EQ(root.Innermost(), popup);
    EXPECT_EQ(popup->GetWindow(), 0u);
    root.SetWindowHandle(77);
    EXPECT_EQ(popup->GetWindow(), 77u);

    item->takesPress = true;
    EXPECT_FALSE(root.MouseDownAt(65, 70, 0, false, false));   // above the popup
    EXPECT_FALSE(root.MouseDownAt(65, 120, 0, false, false));  // beside it: nothing there
    Probe* inside = popup->Add<Probe>(&log, "inside", 10, 10, 20, 20);
    inside->takesPress = true;
    EXPECT_TRUE(root.MouseDownAt(165, 125, 0, false, false));
    EXPECT_EQ(log, (Log {"inside MouseDown 5,5"}));
    EXPECT_EQ(popup->Focus(), inside);
    EXPECT_EQ(root.Focus(), nullptr);
}

TEST_F(ViewRig, ASecondPopupWaitsUntilTheFirstHasClosed)
{
    XView* first = root.ShowPopup(Popup("first"), 1);
    XView* second = root.ShowPopup(Popup("second"), 2);
    EXPECT_EQ(root.OpenPopup(), first);
    EXPECT_TRUE(first->CloseRequested());
    EXPECT_EQ(root.PendingPopupCount(), 1);

    EXPECT_TRUE(root.Idle(1));
    EXPECT_EQ(log, (Log {"root closed 1=0", "first gone"}));
    EXPECT_EQ(root.OpenPopup(), second);
    log.clear();

    second->Close(5);
    // The owner's choice stands when a third popup arrives before the tick.
    root.ShowPopup(Popup("third"), 3);
    root.Idle(2);
    EXPECT_EQ(log, (Log {"root closed 2=5", "second gone"}));
    log.clear();
    root.Idle(3);
    EXPECT_TRUE(log.empty());
}

TEST_F(ViewRig, IdleDrainsEveryQueueOfThePopupChainInOrder)
{
    XView* popup = root.ShowPopup(Popup("p"), 0);
    root.Post(FourCC("KyTL"), 1);
    root.Post(2);
    popup->Post(3);
    root.repost = true;
    root.Idle(1);
    EXPECT_EQ(log,
              (Log {"root event " + std::to_string(FourCC("KyTL")), "root event 2", "p event 3"}));
    // The reposted events wait for the next tick instead of spinning this one.
    log.clear();
    root.repost = false;
    root.Idle(2);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(ViewRig, IdleReportsDirtOnlyWhenSomethingNeedsDrawing)
{
    DrawAll(root, g);
    EXPECT_FALSE(root.Idle(1));
    item->Invalidate();
    EXPECT_TRUE(root.Idle(2));
    DrawAll(root, g, false);
    EXPECT_FALSE(root.Idle(3));
}

// A source of drags drawing its text as the drag image.
class DragSource : public Probe, public XDragger {
public:
    using Probe::Probe;
    void DragFinished(int x, int y) override { Note("Finished"); }
    void DrawDragImage(XGraphic* g) override
    {
        g->SetFillColor(XColor(255, 255, 0));
        g->FillRect(0, 0, 10, 10);
    }
};

TEST_F(ViewRig, DragsFindTheAcceptingTargetAndDropOnIt)
{
    auto* source = root.Add<DragSource>(&log, "source", 200, 20, 50, 50);
    Probe* target = root.Add<Probe>(&log, "target", 300, 200, 50, 50);
    target->acceptsDrop = true;
    source->SetPayload(FourCC("inst"));
    const std::string payload = std::to_string(FourCC("inst"));

    source->BeginDrag(source, 5, 5);
    EXPECT_TRUE(source->IsDragging());
    EXPECT_TRUE(root.HasDragImage());
    EXPECT_EQ(root.DragImageRect(), XRect(200, 20, 249, 69));
    source->DragTo(110, 190);  // root (310, 210)
    EXPECT_EQ(root.DragImageRect().left, 305);
    EXPECT_EQ(source->Target(), target);
    source->DragTo(111, 191);  // still inside: no new search
    source->EndDrag(111, 191);
    EXPECT_FALSE(root.HasDragImage());
    EXPECT_EQ(log, (Log {"target DragEnter " + payload, "target DragLeave " + payload,
                         "target Drop " + payload, "source Finished"}));

    // Over nothing that accepts: no drop, but finished.
    log.clear();
    source->BeginDrag(source, 5, 5);
    source->DragTo(-100, 100);
    source->EndDrag(-100, 100);
    EXPECT_EQ(log, (Log {"source Finished"}));
}

TEST_F(ViewRig, ATargetRemovedDuringADragIsForgotten)
{
    auto* source = root.Add<DragSource>(&log, "source", 200, 20, 50, 50);
    Probe* target = root.Add<Probe>(&log, "target", 300, 200, 50, 50);
    target->acceptsDrop = true;
    source->BeginDrag(source, 5, 5);
    source->DragTo(110, 190);
    ASSERT_EQ(source->Target(), target);
    target->Remove();
    DrawAll(root, g, false);
    EXPECT_EQ(source->Target(), nullptr);
    log.clear();
    source->EndDrag(110, 190);
    EXPECT_EQ(log, (Log {"source Finished"}));

    // The source itself going ends its drag and the image.
    source->BeginDrag(source, 5, 5);
    source->Remove();
    DrawAll(root, g, false);
    EXPECT_FALSE(root.HasDragImage());
    EXPECT_EQ(root.ActiveDragger(), nullptr);
}

}  // namespace
