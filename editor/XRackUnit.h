// One slot of the rack: an arrow column at the left and the tone view beside it. A press on
// the arrow expands or collapses the view.
#pragma once

#include <memory>

#include "gui/XControl.h"
#include "gui/XPic.h"

class GigaView;

class XRackUnit : public XControl {
public:
    static constexpr int kArrowColumn = 15;
    // The arrow's hit area at the top left.
    static constexpr int kHitWidth = 12;
    static constexpr int kHitHeight = 15;

    explicit XRackUnit(std::unique_ptr<GigaView> view);

    GigaView& View() const { return *view_; }

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    // The view's height changed: the unit follows it.
    void ChildResized() override;

private:
    GigaView* view_;
    XPic open_ {"tog_open.png"};
    XPic close_ {"tog_close.png"};
};
