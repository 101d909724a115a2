#include <gtest/gtest.h>

#include <string>

#include "gui/XControl.h"
#include "gui/XGraphic.h"
#include "gui/XTheme.h"
#include "tests/gui/ControlsRig.h"

namespace {

using controlsrig::DrawAll;
using controlsrig::Log;
using controlsrig::Probe;

TEST(ControlTree, NegativePositionsCountFromTheParentsFarEdges)
{
    XControl parent(0, 0, 300, 200);
    XControl* c = parent.Add<XControl>(-40, -30, 20, 10);
    EXPECT_EQ(XRect(c->X(), c->Y(), 0, 0), XRect(260, 170, 0, 0));
    // AddChild places as given.
    XControl* placed = parent.AddChild(std::make_unique<XControl>(), -5, 7, 30, 40);
    EXPECT_EQ(placed->X(), -5);
    EXPECT_EQ(parent.Child(1), placed);
}

TEST(ControlTree, SizesStayWithinBoundsAndTextsAreCutCleanly)
{
    XControl c(0, 0, -5, -7);
    EXPECT_EQ(c.Width() + c.Height(), 0);
    c.SetBounds(INT32_MIN, INT32_MAX, INT32_MAX, 3);
    EXPECT_EQ(c.X(), -XControl::kMaxCoordinate);
    EXPECT_EQ(c.Width(), XControl::kMaxCoordinate);
    c.SetText(std::string(XControl::kMaxText - 1, 'a') + "\xC3\xA9tail");  // é across the limit
    EXPECT_EQ(c.Text().size(), XControl::kMaxText - 1);
    c.SetText(static_cast<const char*>(nullptr));
    EXPECT_EQ(c.GetText(), nullptr);
    c.SetColor(7, XColor(1, 2, 3));
    EXPECT_TRUE(c.GetColor(7).IsTransparent());
}

TEST(ControlTree, HitTestingSkipsInertChildrenAndTheEarlierOfTwoTouchingSiblingsWins)
{
    XControl parent(0, 0, 100, 100);
    XControl* left = parent.Add<XControl>(10, 10, 20, 20);
    XControl* right = parent.Add<XControl>(30, 10, 20, 20);
    EXPECT_EQ(parent.ChildAt(30, 15), left);  // the pixel just right of `left`
    EXPECT_EQ(parent.ChildAt(31, 15), right);
    EXPECT_EQ(parent.ChildAt(20, 30), left);  // just below
    EXPECT_EQ(parent.ChildAt(20, 31), nullptr);
    left->Hide();
    EXPECT_EQ(parent.ChildAt(30, 15), right);
    left->Show();
    left->SetEnabled(false);
    EXPECT_EQ(parent.ChildAt(30, 15), right);
    right->SetOrigin(20, 0);  // the origin offset moves where a child is hit
    EXPECT_EQ(parent.ChildAt(15, 15), right);
}

struct DeepCase {
    void (*change)(XControl& inner);
    bool innerFound;
};

class DeepestAtTest : public ::testing::TestWithParam<DeepCase> {};

TEST_P(DeepestAtTest, FindsTheDeepestLiveControl)
{
    XControl root(0, 0, 200, 200);
    XControl* outer = root.Add<XControl>(50, 50, 100, 100);
    XControl* inner = outer->Add<XControl>(10, 10, 20, 20);
    GetParam().change(*inner);
    EXPECT_EQ(root.DeepestAt(65, 65), GetParam().innerFound ? inner : outer);
    EXPECT_EQ(root.DeepestAt(80, 65), outer);  // half-open on the far edges, unlike ChildAt
    EXPECT_EQ(root.DeepestAt(200, 10), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    LiveHiddenDisabledRemovedScrolled, DeepestAtTest,
    ::testing::Values(DeepCase {[](XControl&) {}, true},
                      DeepCase {[](XControl& c) { c.Hide(); }, false},
                      DeepCase {[](XControl& c) { c.SetEnabled(false); }, false},
                      DeepCase {[](XControl& c) { c.Remove(); }, false},
                      DeepCase {[](XControl& c) { c.SetOrigin(100, 0); }, false}));

TEST(ControlTree, RectInRootIsClippedByEveryAncestor)
{
    XControl root(0, 0, 400, 300);
    XControl* frame = root.Add<XControl>(100, 100, 50, 50);
    XControl* content = frame->Add<XControl>(0, 0, 200, 200);
    content->SetOrigin(30, 20);  // scrolled
    XControl* item = content->Add<XControl>(40, 10, 30, 30);
    EXPECT_EQ(item->AbsoluteX(), 110);
    EXPECT_EQ(item->AbsoluteY(), 90);
    EXPECT_EQ(item->RectInRoot(), XRect(110, 100, 139, 119));  // top cut by the frame
    item->SetPosition(300, 10);
    EXPECT_TRUE(item->RectInRoot().IsEmpty());
}

TEST(ControlTree, InvalidationFollowsTheRedirectAndMarksTheAncestors)
{
    XControl root(0, 0, 100, 100);
    XControl* port = root.Add<XControl>(0, 0, 50, 50);
    XControl* content = port->Add<XControl>(0, 0, 50, 50);
    XGraphic g;
    DrawAll(root, g);
    content->SetRedirect(port);
    content->Invalidate();
    EXPECT_TRUE(port->IsDirty());
    EXPECT_FALSE(content->IsDirty());
    EXPECT_TRUE(root.IsChildDirty());
    port->SetRedirect(content);  // a cycle made by mistake does not hang
    content->Invalidate();
    content->Hide();
}

TEST(ControlTree, HidingRepaintsTheParentAndShowingOnlyTheControl)
{
    Log log;
    Probe root(&log, "root", 0, 0, 100, 100);
    Probe* a = root.Add<Probe>(&log, "a", 0, 0, 40, 40);
    root.Add<Probe>(&log, "b", 50, 0, 40, 40);
    XGraphic g;
    DrawAll(root, g);
    log.clear();
    a->Hide();
    root.DrawTree(&g, false);
    a->Show();
    root.DrawTree(&g, false);
    root.DrawTree(&g, false);  // nothing dirty: nothing drawn
    EXPECT_EQ(log, (Log {"root Draw", "b Draw", "a Draw"}));
}

TEST(ControlTree, OnlyDirtyControlsAndTheirSubtreesAreDrawnClippedToTheirAncestors)
{
    Log log;
    Probe root(&log, "root", 0, 0, 100, 100);
    Probe* box = root.Add<Probe>(&log, "box", 10, 10, 30, 30);
    Probe* inner = box->Add<Probe>(&log, "inner", 20, 20, 30, 30);  // sticks out of box
    Probe* other = root.Add<Probe>(&log, "other", 60, 10, 30, 30);
    inner->SetColor(0, XColor(255, 0, 0));
    XGraphic g;
    DrawAll(root, g);
    EXPECT_EQ(g.PixelAt(39, 39), 0xFF0000u);
    EXPECT_EQ(g.PixelAt(45, 45), 0x8C8C96u);  // clipped away: root's colour
    log.clear();
    box->Invalidate();
    root.DrawTree(&g, false);
    EXPECT_TRUE(box->WasDrawn());
    EXPECT_FALSE(other->WasDrawn());
    inner->Invalidate();
    root.DrawTree(&g, false);
    EXPECT_EQ(log, (Log {"box Draw", "inner Draw", "inner Draw"}));
}

// A control whose Draw removes itself and a sibling drawn after it.
class RemovingProbe : public Probe {
public:
    using Probe::Probe;
    XControl* alsoRemove = nullptr;
    void Draw(XGraphic* g) override
    {
        Probe::Draw(g);
        Remove();
        alsoRemove->Remove();
    }
};

TEST(ControlTree, RemovedControlsAreDestroyedByTheirParentsNextPass)
{
    Log log;
    Probe root(&log, "root", 0, 0, 100, 100);
    auto* first = root.Add<RemovingProbe>(&log, "first", 0, 0, 20, 20);
    Probe* second = root.Add<Probe>(&log, "second", 30, 0, 20, 20);
    bool firstGone = false;
    bool secondGone = false;
    first->destroyed = &firstGone;
    second->destroyed = &secondGone;
    first->alsoRemove = second;
    XGraphic g;
    DrawAll(root, g);
    // The control being drawn survives its own pass; the walk reached `second` after its
    // removal and destroyed it undrawn.
    EXPECT_EQ(log, (Log {"root Draw", "first Draw"}));
    EXPECT_FALSE(firstGone);
    EXPECT_TRUE(secondGone);
    root.DrawTree(&g, false);
    EXPECT_TRUE(firstGone);
    EXPECT_EQ(root.ChildCount(), 0);
}

TEST(ControlTree, ARemovedControlCannotBeShownOrHitAgain)
{
    XControl parent(0, 0, 100, 100);
    XControl* c = parent.Add<XControl>(0, 0, 50, 50);
    c->Remove();
    c->Show();
    EXPECT_FALSE(c->IsVisible());
    EXPECT_EQ(parent.ChildAt(10, 10), nullptr);
}

TEST(ControlTree, AThemeSetsOnlyTheColoursItHas)
{
    XTheme theme;
    theme.SetColor(1, XColor(1, 2, 3));
    theme.SetColor(9, XColor(7, 8, 9));
    XControl c;
    theme.Apply(&c);
    EXPECT_EQ(c.GetColor(0), XColor(140, 140, 150, 255));
    EXPECT_EQ(c.GetColor(1), XColor(1, 2, 3));
    EXPECT_TRUE(c.GetColor(2).IsTransparent());
}

}  // namespace
