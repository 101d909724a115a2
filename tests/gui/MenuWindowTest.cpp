// A popup menu in a window of its own, against a stand-in for the system's window: where the
// window opens, what reaches the reply queue, and when the window goes.
#include "gui/XMenuWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gui/XEvent.h"
#include "gui/XEventQueue.h"
#include "gui/XMenu.h"
#include "gui/XWindowPort.h"

namespace {

struct StandIn : XMenuWindow::System {
    bool MenuArea(XRect& a) override
    {
        a = area;
        return hasArea;
    }
    bool OpenMenuWindow(int x, int y, int width, int height) override
    {
        opened = XRect::FromSize(x, y, width, height);
        ++opens;
        return canOpen;
    }
    void PutMenuPixels(const std::uint32_t*, int width, int height) override
    {
        EXPECT_EQ(width, opened.Width());
        EXPECT_EQ(height, opened.Height());
        ++puts;
        if (goneOnPut) menus->CancelMenu();  // the system went away under the drawing
    }
    void CloseMenuWindow() override { ++closes; }

    XRect area = XRect::FromSize(100, 50, 1000, 700);
    bool hasArea = true, canOpen = true, goneOnPut = false;
    XRect opened;
    int opens = 0, puts = 0, closes = 0;
    XMenuWindow* menus = nullptr;
};

struct MenuWindowRig : testing::Test {
    static std::unique_ptr<XMenu> Menu(int items = 3)
    {
        auto menu = std::make_unique<XMenu>();
        for (int i = 0; i < items; ++i) menu->AddItem("Item");
        return menu;
    }
    static XInput At(XInput::Kind kind, int x, int y)
    {
        XInput input;
        input.kind = kind;
        input.x = x;
        input.y = y;
        return input;
    }
    std::vector<XEvent> Replies()
    {
        std::vector<XEvent> out;
        for (XEvent e; reply.NextEvent(e);) out.push_back(e);
        return out;
    }
    StandIn system;
    XMenuWindow menus {system};
    XEventQueue reply;
    MenuWindowRig() { system.menus = &menus; }
};

TEST_F(MenuWindowRig, OpensInsideTheAreaAndScrollsWhatIsTallerThanIt)
{
    ASSERT_TRUE(menus.ShowMenu(Menu(), 5000, 5000, &reply, 1));
    EXPECT_EQ(system.opened.right, system.area.right);
    EXPECT_EQ(system.opened.bottom, system.area.bottom);
    ASSERT_TRUE(menus.ShowMenu(Menu(), -40, 10, &reply, 2));
    EXPECT_EQ(system.opened.left, system.area.left);
    EXPECT_EQ(system.opened.top, system.area.top);
    ASSERT_TRUE(menus.ShowMenu(Menu(200), 300, 300, &reply, 3));
    EXPECT_EQ(system.opened.top, system.area.top);
    EXPECT_LE(system.opened.Height(), system.area.Height());
    EXPECT_GE(system.puts, 3);
    menus.CancelMenu();
}

TEST_F(MenuWindowRig, EveryShownMenuAnswersOnceUnlessCancelled)
{
    const int secondRow = XMenuView::kPad + XMenuView::kRowHeight + XMenuView::kRowHeight / 2;
    ASSERT_TRUE(menus.ShowMenu(Menu(), 0, 0, &reply, 1));
    ASSERT_TRUE(menus.ShowMenu(Menu(), 0, 0, &reply, 2));  // the first answers "cancelled"
    menus.Input(At(XInput::kMouseMove, 10, secondRow));
    menus.Input(At(XInput::kLeftDown, 10, secondRow));
    menus.Input(At(XInput::kLeftUp, 10, secondRow));
    EXPECT_FALSE(menus.IsMenuOpen());

    ASSERT_TRUE(menus.ShowMenu(Menu(), 0, 0, &reply, 3));
    menus.Input(At(XInput::kRightDown, -5, 10));  // outside
    ASSERT_TRUE(menus.ShowMenu(Menu(), 0, 0, &reply, 4));
    XInput key;
    key.kind = XInput::kKey;
    key.code = kKeyDown;
    menus.Input(key);
    key.code = kKeyEnter;
    menus.Input(key);
    ASSERT_TRUE(menus.ShowMenu(Menu(), 0, 0, &reply, 5));
    menus.Dismiss();  // the system took the pointer away
    ASSERT_TRUE(menus.ShowMenu(Menu(), 0, 0, &reply, 6));
    menus.CancelMenu();                          // no answer
    menus.Input(At(XInput::kLeftDown, -5, 10));  // nothing open: nothing happens

    const std::vector<XEvent> replies = Replies();
    ASSERT_EQ(replies.size(), 5u);
    const std::int32_t codes[] = {1, 2, 3, 4, 5};
    const int indexes[] = {-1, 1, -1, 0, -1};
    for (std::size_t i = 0; i < replies.size(); ++i) {
        EXPECT_EQ(replies[i].code, codes[i]) << i;
        EXPECT_EQ(MenuIndexOf(replies[i].a), indexes[i]) << i;
    }
    EXPECT_EQ(system.opens, 6);
    EXPECT_EQ(system.closes, 6);
}

TEST_F(MenuWindowRig, NothingIsPostedWhenNoWindowCanBeShown)
{
    system.hasArea = false;
    EXPECT_FALSE(menus.ShowMenu(Menu(), 0, 0, &reply, 1));
    EXPECT_EQ(system.opens, 0);
    system.hasArea = true;
    system.canOpen = false;
    EXPECT_FALSE(menus.ShowMenu(Menu(), 0, 0, &reply, 2));
    system.canOpen = true;
    system.goneOnPut = true;
    EXPECT_FALSE(menus.ShowMenu(Menu(), 0, 0, &reply, 3));
    EXPECT_EQ(system.closes, 1);  // only the window that was made
    EXPECT_FALSE(menus.IsMenuOpen());
    EXPECT_FALSE(menus.ShowMenu(nullptr, 0, 0, &reply, 4));
    EXPECT_TRUE(Replies().empty());
}

}  // namespace
