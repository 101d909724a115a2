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
    ~RecordingView() override { log_->push_back(name_ + " gone"); }
    void HandleEvent(XEvent* e) override
    {
        log_->push_back(name_ + " event " + std::to_string(e->code));
        if (repost) Post(e->code);
    }
    void PopupClosed(XView* p) override
    {
        log_->push_back(name_ + " closed " + controlsrig::Pt(p->PopupId(), p->Result()));
    }
    bool KeyDown(XKey* key) override
    {
        log_->push_back(name_ + " key " + std::to_string(key->code));
        return false;
    }
    void Tick(std::uint32_t tick) override
    {
        if (logTicks) log_->push_back(name_ + " tick " + std::to_string(tick));
    }
    bool repost = false;
    bool logTicks = false;

private:
    Log* log_;
    std::string name_;
};

// A root with a container holding a small control.
struct ViewRig : ::testing::Test {
    Log log;
    RecordingView root {&log, "root", 400, 300};
    Probe* box = root.Add<Probe>(&log, "box", 50, 50, 100, 100);
    Probe* item = box->Add<Probe>(&log, "item", 10, 10, 30, 20);
    XGraphic g;
    XKey enter {0, 0, kKeyEnter};
    XKey escape {0, 0, kKeyEscape};

    std::unique_ptr<RecordingView> Popup(const char* name)
    {
        return std::make_unique<RecordingView>(&log, name, 100, 80);
    }
};

TEST_F(ViewRig, APressReachesTheContainerFirstThenTheChildThatTakesIt)
{
    item->takesPress = true;
    EXPECT_TRUE(root.MouseDownAt(65, 70, 0, true, false));
    EXPECT_EQ(root.Focus(), item);
    EXPECT_EQ(item->lastMouse.offsetX, 60);
    EXPECT_TRUE(item->lastMouse.shift);
    root.MouseMoveTo(70, 90, false, false);  // outside the item: still its drag
    root.MouseMoveTo(70, 90, false, false);  // the same point: nothing
    root.MouseUpAt(71, 91);
    XKey key {'a', 0, kKeyChar};
    root.KeyPress(&key);  // the focus stays after the release; unused keys go to the view
    EXPECT_EQ(log, (Log {"box MouseDown 15,20", "item MouseDown 5,10", "item MouseDrag 10,30",
                         "item MouseUp", "item Key 97,0", "root key 0"}));
    item->takesPress = false;
    EXPECT_FALSE(root.MouseDownAt(65, 70, 1, false, false));
    EXPECT_EQ(root.Focus(), nullptr);
}

TEST_F(ViewRig, DoubleClicksAndWheelsDescendWithParentCoordinates)
{
    item->takesDouble = true;
    box->takesWheel = true;
    EXPECT_TRUE(root.DoubleClickAt(65, 70));
    EXPECT_EQ(root.Focus(), item);
    root.WheelAt(65, 70, 0, 20);
    EXPECT_EQ(log, (Log {"box DoubleClick 65,70", "item DoubleClick 15,20", "box Wheel 0,20"}));
}

TEST_F(ViewRig, HoverFollowsThePointerAndHoverCallsBeginAfterThirtyTicks)
{
    root.MouseMoveTo(65, 70, false, false);
    root.MouseMoveTo(66, 70, false, false);  // still the item
    root.MouseMoveTo(120, 120, false, false);
    for (std::uint32_t tick = 29; tick <= 32; ++tick) root.Idle(tick);
    EXPECT_EQ(log, (Log {"item Enter", "item Leave", "box Enter", "box Hover", "box Hover"}));
}

TEST_F(ViewRig, TheCaretBlinksEveryTenthTick)
{
    item->takesPress = true;
    root.MouseDownAt(65, 70, 0, false, false);
    log.clear();
    for (std::uint32_t tick = 1; tick <= 30; ++tick) root.Idle(tick);
    EXPECT_EQ(log, (Log {"item Blink 1", "item Blink 0", "item Blink 1"}));
}

TEST_F(ViewRig, ARemovedControlLeavesNoPointerBehind)
{
    item->takesPress = true;
    root.MouseMoveTo(65, 70, false, false);
    root.MouseDownAt(65, 70, 0, false, false);  // pressed and held
    root.SetDefaultButton(item);
    root.SetCancelButton(box);
    bool gone = false;
    item->destroyed = &gone;
    box->Remove();  // the item goes with its container
    DrawAll(root, g, false);
    ASSERT_TRUE(gone);
    EXPECT_EQ(root.Focus(), nullptr);
    EXPECT_EQ(root.Hovered(), nullptr);
    EXPECT_FALSE(root.ButtonDown());
    // None of these may reach the destroyed controls (the sanitizer build would see it).
    log.clear();
    root.MouseMoveTo(66, 71, false, false);
    root.MouseUpAt(66, 71);
    root.KeyPress(&enter);
    root.KeyPress(&escape);
    for (std::uint32_t tick = 1; tick <= 40; ++tick) root.Idle(tick);
    EXPECT_TRUE(log.empty());
}

TEST_F(ViewRig, EnterAndEscapeClickTheButtonsOrCloseADialog)
{
    Probe* ok = root.Add<Probe>(&log, "ok", 200, 200, 40, 20);
    root.SetDefaultButton(ok);
    EXPECT_TRUE(root.KeyPress(&enter));
    EXPECT_EQ(log, (Log {"ok MouseDown 0,0", "ok MouseUp"}));
    EXPECT_FALSE(root.CloseRequested());
    root.SetDialog(true);
    root.KeyPress(&escape);
    EXPECT_TRUE(root.CloseRequested());
    EXPECT_EQ(root.Result(), 0);
    root.SetDefaultButton(nullptr);
    root.KeyPress(&enter);
    EXPECT_EQ(root.Result(), 1);
}

TEST_F(ViewRig, APopupTakesAllInputAndIsCentred)
{
    XView* popup = root.ShowPopup(Popup("p"), FourCC("wset"));
    EXPECT_EQ(controlsrig::Pt(popup->X(), popup->Y()), "150,110");
    root.SetWindowHandle(77);
    EXPECT_EQ(popup->GetWindow(), 77u);
    item->takesPress = true;
    EXPECT_FALSE(root.MouseDownAt(65, 70, 0, false, false));   // above the popup
    EXPECT_FALSE(root.MouseDownAt(65, 120, 0, false, false));  // beside it
    Probe* inside = popup->Add<Probe>(&log, "inside", 10, 10, 20, 20);
    inside->takesPress = true;
    EXPECT_TRUE(root.MouseDownAt(165, 125, 0, false, false));
    EXPECT_EQ(log, (Log {"inside MouseDown 5,5"}));
    EXPECT_EQ(popup->Focus(), inside);
    EXPECT_EQ(inside->RootView(), &root);
    EXPECT_EQ(box->Root()->RootView(), &root);
}

TEST_F(ViewRig, ASecondPopupWaitsUntilTheFirstHasClosed)
{
    XView* first = root.ShowPopup(Popup("first"), 1);
    XView* second = root.ShowPopup(Popup("second"), 2);
    EXPECT_EQ(root.OpenPopup(), first);
    EXPECT_TRUE(root.Idle(1));
    EXPECT_EQ(root.OpenPopup(), second);
    second->Close(5);
    root.ShowPopup(Popup("third"), 3);  // the owner's choice of 5 stands
    root.Idle(2);
    root.Idle(3);
    EXPECT_EQ(log, (Log {"root closed 1,0", "first gone", "root closed 2,5", "second gone"}));
}

TEST_F(ViewRig, APopupOfAPopupGetsTheInputAndReportsToItsOwner)
{
    XView* outer = root.ShowPopup(Popup("outer"), 1);  // at (150, 110)
    auto inner = std::make_unique<RecordingView>(&log, "inner", 40, 20);
    Probe* deep = inner->Add<Probe>(&log, "deep", 0, 0, 40, 20);
    XView* shown = outer->ShowPopup(std::move(inner), 2);  // at (30, 30) in the outer one
    deep->takesPress = true;
    EXPECT_TRUE(root.MouseDownAt(185, 145, 0, false, false));
    EXPECT_EQ(root.Innermost(), shown);
    shown->Close(4);
    root.Idle(1);
    EXPECT_EQ(root.Innermost(), outer);
    EXPECT_EQ(log, (Log {"deep MouseDown 5,5", "outer closed 2,4", "inner gone"}));
}

TEST_F(ViewRig, IdleTicksAndDrainsEveryViewOfThePopupChainInOrder)
{
    auto* popup = static_cast<RecordingView*>(root.ShowPopup(Popup("p"), 0));
    root.Post(FourCC("KyTL"), 1);
    root.Post(2);
    popup->Post(3);
    root.repost = true;  // what a handler posts to its own view waits for the next tick
    root.logTicks = popup->logTicks = true;
    root.Idle(7);
    EXPECT_EQ(log, (Log {"root tick 7", "root event " + std::to_string(FourCC("KyTL")),
                         "root event 2", "p tick 7", "p event 3"}));
}

TEST_F(ViewRig, IdleReportsDirtOnlyWhenSomethingNeedsDrawing)
{
    DrawAll(root, g);
    EXPECT_FALSE(root.Idle(1));
    item->Invalidate();
    EXPECT_TRUE(root.Idle(2));
}

class DragSource : public Probe, public XDragger {
public:
    using Probe::Probe;
    void DragFinished(int x, int y) override { Note("Finished"); }
};

TEST_F(ViewRig, DragsFindTheAcceptingTargetAndDropOnIt)
{
    auto* source = root.Add<DragSource>(&log, "source", 200, 20, 50, 50);
    root.Add<Probe>(&log, "target", 300, 200, 50, 50)->acceptsDrop = true;
    source->SetPayload(7);
    source->BeginDrag(source, 5, 5);
    EXPECT_EQ(root.DragImageRect(), XRect(200, 20, 249, 69));
    source->DragTo(110, 190);  // root (310, 210)
    EXPECT_EQ(root.DragImageRect().left, 305);
    source->DragTo(111, 191);  // still inside: no new search
    source->EndDrag(111, 191);
    EXPECT_FALSE(root.HasDragImage());
    source->BeginDrag(source, 5, 5);  // over nothing that accepts: finished without a drop
    source->DragTo(-100, 100);
    source->EndDrag(-100, 100);
    EXPECT_EQ(log, (Log {"target DragEnter", "target DragLeave", "target Drop 7", "source Finished",
                         "source Finished"}));
}

TEST_F(ViewRig, ATargetRemovedDuringADragIsForgotten)
{
    auto* source = root.Add<DragSource>(&log, "source", 200, 20, 50, 50);
    Probe* target = root.Add<Probe>(&log, "target", 300, 200, 50, 50);
    target->acceptsDrop = true;
    source->BeginDrag(source, 5, 5);
    source->DragTo(110, 190);
    target->Remove();
    DrawAll(root, g, false);
    EXPECT_EQ(source->Target(), nullptr);
    source->EndDrag(110, 190);
    EXPECT_EQ(log.back(), "source Finished");
    // The source itself going ends its drag and the image.
    source->BeginDrag(source, 5, 5);
    source->Remove();
    DrawAll(root, g, false);
    EXPECT_FALSE(root.HasDragImage());
    EXPECT_EQ(root.ActiveDragger(), nullptr);
}

}  // namespace
