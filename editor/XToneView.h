// A tone's view in the rack: a strip that can be expanded to show a panel below it. Changing
// the height tells the rack (the parent) to lay out again.
#pragma once

#include "editor/KyView.h"

class XToneView : public KyView {
public:
    static constexpr int kCollapsedHeight = 25;

    using KyView::KyView;

    void SetExpanded(bool expanded);
    bool IsExpanded() const { return expanded_; }

protected:
    // The height of the panel under the strip when expanded.
    virtual int PanelHeight() const = 0;
    // The height follows the expanded state and the panel.
    void FitHeight();

private:
    bool expanded_ = false;
};
