// A display field with a small arrow column at its right: pressing the arrows asks the owner to
// offer a choice (it shows a menu). Derived fields show other things in the same frame.
#pragma once

#include <string_view>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"

class XSelect : public XControl, public XBroadcaster {
public:
    static constexpr int kArrowColumn = 10;
    // Presses this close to the right edge count as on the arrows.
    static constexpr int kArrowHitWidth = 16;

    XSelect();
    XSelect(int x, int y, int width, int height, std::string_view text = {});

    void Draw(XGraphic* g) override;
    // Broadcasts SelectChanged for a press on the arrows; the press is not taken.
    bool MouseDown(XMouse* mouse) override;

protected:
    void DrawArrows(XGraphic* g);
};
