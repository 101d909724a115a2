#include "editor/XRackUnit.h"

#include "editor/GigaView.h"
#include "gui/XGraphic.h"

XRackUnit::XRackUnit(std::unique_ptr<GigaView> view)
    : XControl(0, 0, kArrowColumn + view->Width(), view->Height()), view_(view.get())
{
    SetColor(0, XColor(0, 0, 0));
    view_->SetPosition(kArrowColumn, 0);
    Adopt(std::move(view));
}

void XRackUnit::Draw(XGraphic* g)
{
    XControl::Draw(g);
    if (view_->IsExpanded())
        g->DrawPic(close_, 0, 5);
    else
        g->DrawPic(open_, 1, 6);
}

bool XRackUnit::MouseDown(XMouse* mouse)
{
    if (mouse->LocalPressX() >= kHitWidth || mouse->LocalPressY() >= kHitHeight) return false;
    view_->SetExpanded(!view_->IsExpanded());
    return true;
}

void XRackUnit::ChildResized()
{
    SetSize(kArrowColumn + view_->Width(), view_->Height());
    // The arrow turns as well.
    Invalidate();
}
