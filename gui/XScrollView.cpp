#include "gui/XScrollView.h"

#include "gui/XGraphic.h"
#include "gui/XViewPort.h"

XScrollView::XScrollView(XViewPort* port) : port_(port)
{
    SetColor(0, XColor(0, 0, 0, 255));
    SetColor(3, XColor(80, 80, 80, 255));
}

void XScrollView::Draw(XGraphic* g)
{
    const XControl* content = Content();
    const XColor fill = content ? content->GetColor(0) : GetColor(0);
    const XColor frame = content ? content->GetColor(3) : GetColor(3);
    if (!fill.IsTransparent()) {
        g->SetFillColor(fill);
        g->FillRect(0, 0, Width(), Height());
    }
    g->Frame(XRect::FromSize(0, 0, Width(), Height()), frame);
}

void XScrollView::ChildResized()
{
    if (port_) port_->Layout();
}
