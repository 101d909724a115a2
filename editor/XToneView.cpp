#include "editor/XToneView.h"

void XToneView::SetExpanded(bool expanded)
{
    expanded_ = expanded;
    FitHeight();
}

void XToneView::FitHeight()
{
    const int height = kCollapsedHeight + (expanded_ ? PanelHeight() : 0);
    if (height == Height()) return;
    // The parent hears of it (ChildResized) and lays the rack out again.
    SetSize(Width(), height);
}
