// A control's way to offer a popup menu and hear the choice on a later tick: through the
// window's menu host when it has one, else as a popup of the root view. The reply lands in a
// queue of its own, which the owner drains on its tick (Take).
#pragma once

#include <cstdint>
#include <memory>

#include "gui/XEventQueue.h"

class XControl;
class XMenu;
class XMenuView;

class XMenuAsk {
public:
    explicit XMenuAsk(XControl& owner) : owner_(owner) {}
    // A menu still open goes without a reply.
    ~XMenuAsk();
    XMenuAsk(const XMenuAsk&) = delete;
    XMenuAsk& operator=(const XMenuAsk&) = delete;

    // Shows the menu with its top-left at (x, y) of the owner; the reply is {code, command}.
    // False when there is nowhere to show it (a detached owner).
    bool Show(std::unique_ptr<XMenu> menu, int x, int y, std::int32_t code);
    // GUI thread: the next reply, false when none.
    bool Take(XEvent& reply);
    // Where replies arrive (tests answer menus through it).
    XEventQueue& Replies() { return replies_; }

private:
    XControl& owner_;
    XEventQueue replies_;
    XMenuView* popup_ = nullptr;  // the root's popup we asked for last
    bool hosted_ = false;         // the last menu went to the window's menu host
    int unanswered_ = 0;          // menus shown whose reply has not been taken
};
