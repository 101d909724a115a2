#include "editor/XMenuAsk.h"

#include <algorithm>

#include "gui/XCodes.h"
#include "gui/XControl.h"
#include "gui/XMenu.h"
#include "gui/XMenuHost.h"
#include "gui/XView.h"
#include "gui/XWindowPort.h"

XMenuAsk::~XMenuAsk()
{
    XEvent reply;
    while (Take(reply)) {
    }
    // Each shown menu answers exactly once: one still unanswered is open.
    if (unanswered_ == 0) return;
    if (hosted_) {
        XWindowPort* port = owner_.WindowPort();
        if (XMenuHost* host = port ? port->MenuHost() : nullptr; host && host->IsMenuOpen())
            host->CancelMenu();
    }
    if (popup_) {
        // Closed from outside, the popup posts nothing into the queue that goes with us.
        XView* root = owner_.RootView();
        if (root && root->OpenPopup() == popup_) popup_->Close(0);
    }
}

bool XMenuAsk::Show(std::unique_ptr<XMenu> menu, int x, int y, std::int32_t code)
{
    if (!menu) return false;
    XWindowPort* port = owner_.WindowPort();
    XMenuHost* host = port ? port->MenuHost() : nullptr;
    int sx = 0, sy = 0;
    if (host && port->ScreenOrigin(sx, sy)) {
        if (!host->ShowMenu(std::move(menu), sx + owner_.AbsoluteX() + x,
                            sy + owner_.AbsoluteY() + y, &replies_, code))
            return false;
        hosted_ = true;
        ++unanswered_;
        return true;
    }
    XView* root = owner_.RootView();
    if (!root) return false;
    auto view = std::make_unique<XMenuView>(std::move(menu), root->Height(), &replies_, code);
    const int left =
        std::clamp(owner_.AbsoluteX() + x, 0, std::max(0, root->Width() - view->Width()));
    const int top =
        std::clamp(owner_.AbsoluteY() + y, 0, std::max(0, root->Height() - view->Height()));
    popup_ = static_cast<XMenuView*>(root->ShowPopup(std::move(view), xcode::kMenuPopup));
    popup_->SetPosition(left, top);
    hosted_ = false;
    ++unanswered_;
    return true;
}

bool XMenuAsk::Take(XEvent& reply)
{
    if (!replies_.NextEvent(reply)) return false;
    if (unanswered_ > 0) --unanswered_;
    return true;
}
