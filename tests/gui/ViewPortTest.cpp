#include <gtest/gtest.h>

#include <memory>

#include "gui/XScrollBar.h"
#include "gui/XScrollView.h"
#include "gui/XView.h"
#include "gui/XViewPort.h"

namespace {

struct LayoutCase {
    int contentWidth;
    int contentHeight;
    bool horizontal;  // bars shown
    bool vertical;
    XRect scrollView;  // its bounds, inclusive
};

class ViewPortLayout : public ::testing::TestWithParam<LayoutCase> {};

// A 200 x 100 port with both bars allowed.
TEST_P(ViewPortLayout, BarsComeWithTheContentSize)
{
    const LayoutCase& c = GetParam();
    XViewPort port(0, 0, 200, 100);
    XControl* content =
        port.Attach(std::make_unique<XControl>(0, 0, c.contentWidth, c.contentHeight), true, true);
    EXPECT_EQ(port.HorizontalBar()->IsVisible(), c.horizontal);
    EXPECT_EQ(port.VerticalBar()->IsVisible(), c.vertical);
    const XScrollView* view = port.GetScrollView();
    EXPECT_EQ(XRect::FromSize(view->X(), view->Y(), view->Width(), view->Height()), c.scrollView);
    // The content fills at least the visible area; the bars run along the view.
    EXPECT_GE(content->Width(), view->Width());
    EXPECT_GE(content->Height(), view->Height());
    if (c.vertical) {
        EXPECT_EQ(port.VerticalBar()->Height(), view->Height() + 2);
    }
    if (c.horizontal) {
        EXPECT_EQ(port.HorizontalBar()->Width(), view->Width() + 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ViewPortLayout,
    ::testing::Values(LayoutCase {100, 50, false, false, XRect(1, 1, 198, 98)},
                      // Taller only: the vertical bar, and the narrower view still fits it.
                      LayoutCase {180, 110, false, true, XRect(1, 1, 182, 98)},
                      // Taller, and wider than the narrower view: both.
                      LayoutCase {190, 110, true, true, XRect(1, 1, 182, 82)},
                      LayoutCase {250, 50, true, false, XRect(1, 1, 198, 82)},
                      LayoutCase {250, 90, true, true, XRect(1, 1, 182, 82)}));

struct PortRig : ::testing::Test {
    XView root {0, 0, 300, 200};
    XViewPort* port = root.Add<XViewPort>(0, 0, 200, 100);
    XControl* content = port->Attach(std::make_unique<XControl>(0, 0, 180, 500), true, true);
};

TEST_F(PortRig, ScrollCommandsMoveByLinesAndPagesWithinTheContent)
{
    // {command, value, expected scroll}; the view is 98 high, so the most is 402.
    const int steps[][3] = {{2, 0, 18},     {2, 0, 36}, {3, 0, 18}, {3, 0, 0},
                            {3, 0, 0},      {4, 0, 98}, {5, 0, 0},  {1, 250, 250},
                            {1, 1000, 402}, {1, -5, 0}, {9, 77, 0}};
    for (const auto& s : steps) {
        port->ScrollY(s[0], s[1]);
        EXPECT_EQ(port->GetScrollY(), s[2]) << s[0] << " " << s[1];
        EXPECT_EQ(content->OriginY(), s[2]);
    }
    port->ScrollX(1, 50);  // not wider than the view: no horizontal scrolling
    EXPECT_EQ(port->GetScrollX(), 0);
}

TEST_F(PortRig, ShrinkingTheContentPullsTheScrollBackIntoRange)
{
    port->SetScrollY(400);
    content->SetSize(180, 200);
    EXPECT_EQ(port->GetScrollY(), 102);
    content->SetSize(180, 50);
    EXPECT_EQ(port->GetScrollY(), 0);
    EXPECT_FALSE(port->VerticalBar()->IsVisible());
}

TEST_F(PortRig, TheWheelScrollsTwentyPixelsANotchThroughTheRoot)
{
    port->SetScrollY(100);
    root.WheelAt(50, 50, 0, 20);  // one notch away from the user: up
    EXPECT_EQ(port->GetScrollY(), 80);
    root.WheelAt(50, 50, 0, -40);
    EXPECT_EQ(port->GetScrollY(), 120);
}

TEST_F(PortRig, TheThumbShowsTheVisiblePartAndFollowsItsDrag)
{
    XScrollBar* bar = port->VerticalBar();
    bar->UpdateGeometry();
    // 100 of 500 pixels: 100 / 500 of the 68-pixel track.
    EXPECT_EQ(bar->ThumbRect(), XRect(1, 16, 15, 28));
    EXPECT_EQ(bar->LineBackRect(), XRect(0, 0, 16, 11));
    EXPECT_EQ(bar->LineForwardRect(), XRect(0, 88, 16, 99));

    // Press on the thumb and drag 13 pixels: 13 x 500 / (100 - 35) = 100.
    ASSERT_TRUE(root.MouseDownAt(190, 20, 0, false, false));
    EXPECT_EQ(bar->PressedPart(), XScrollBar::kThumb);
    root.MouseMoveTo(190, 33, false, false);
    EXPECT_EQ(port->GetScrollY(), 100);
    root.MouseMoveTo(190, 400, false, false);  // far below: clamped
    EXPECT_EQ(port->GetScrollY(), 402);
    root.MouseUpAt(190, 400);
    EXPECT_EQ(bar->PressedPart(), XScrollBar::kNone);

    // The arrows, then the track below and above the thumb.
    port->SetScrollY(100);
    const int presses[][2] = {{95, 118}, {5, 100}, {80, 198}, {17, 100}};
    for (const auto& p : presses) {
        root.MouseDownAt(190, p[0], 0, false, false);
        root.MouseUpAt(190, p[0]);
        EXPECT_EQ(port->GetScrollY(), p[1]) << "press at " << p[0];
    }
}

TEST(ScrollBar, AThumbForAHundredTimesTheVisibleSizeIsTenPixelsLong)
{
    XViewPort port(0, 0, 200, 100);
    port.Attach(std::make_unique<XControl>(0, 0, 20000, 10), true, false);
    XScrollBar* bar = port.HorizontalBar();
    bar->UpdateGeometry();
    EXPECT_FALSE(bar->IsVertical());
    EXPECT_EQ(bar->ThumbRect().Width(), 10);
    EXPECT_EQ(bar->LineBackRect().Width(), 16);
    port.SetScrollX(port.Content()->Width());  // to the end: the thumb stays inside the track
    bar->UpdateGeometry();
    EXPECT_EQ(bar->ThumbRect().right, 200 - 16 - 1);
}

TEST(ScrollBar, DegenerateSizesStayQuiet)
{
    XViewPort port(0, 0, 10, 5);
    port.Attach(std::make_unique<XControl>(0, 0, 0, 0), true, true);
    port.ScrollY(4, 0);
    port.Wheel(0, 0, 100, 100);
    port.SetSize(0, 0);
    EXPECT_EQ(port.GetScrollX() + port.GetScrollY(), 0);
    XViewPort empty(0, 0, 50, 50);
    empty.ScrollY(2, 0);
    empty.Layout();
    EXPECT_EQ(empty.GetScrollY(), 0);
}

}  // namespace
