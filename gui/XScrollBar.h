// A view port's scroll bar: arrows at both ends, a track and a thumb sized by how much of the
// content shows. Vertical when narrower than tall (decided at each draw and press).
#pragma once

#include "gui/XControl.h"

class XViewPort;

class XScrollBar : public XControl {
public:
    // Pressed parts; the numbers are the port's scroll commands of the same action.
    enum Part : int {
        kNone = 0,
        kThumb = 1,
        kLineForward = 2,
        kLineBack = 3,
        kPageForward = 4,
        kPageBack = 5,
    };

    explicit XScrollBar(XViewPort* port);

    // Recomputes the parts from the size and the port's content and scroll.
    void UpdateGeometry();
    bool IsVertical() const { return vertical_; }
    XRect ThumbRect() const { return thumb_; }
    XRect LineBackRect() const { return lineBack_; }
    XRect LineForwardRect() const { return lineForward_; }
    int PressedPart() const { return pressed_; }
    // The part under a point in the bar's coordinates.
    int PartAt(int x, int y);

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;

private:
    int ContentLength() const;
    int Scroll() const;
    void ScrollBy(int command, int value);

    XViewPort* port_;
    bool vertical_ = true;
    XRect thumb_;
    XRect lineBack_;
    XRect lineForward_;
    int pressed_ = kNone;
    int pressValue_ = 0;
};
