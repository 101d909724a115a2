// The instrument's name on the tone view or a layer row, with a red bar for the load's
// progress. A press asks the owner to open the browser. Long names are cut at the box.
#pragma once

#include <string_view>

#include "gui/XSelect.h"

class XGigaName : public XSelect {
public:
    XGigaName(int x, int y, int width, int height);

    // Redraws only on a change.
    void Show(std::string_view name, XColor colour);
    // 0..100, or below 0 for no bar.
    void SetProgress(int percent);
    int Progress() const { return progress_; }

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;

private:
    int progress_ = -1;
};
