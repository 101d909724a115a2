// A push button, or a latching one in toggle mode. With a picture it shows three looks made from
// it: grey while idle, as drawn while the pointer is over it, saturated while pressed. Without
// one it draws a glossy face with its text. A click is a press and a release over the button;
// dragging off it and letting go clicks nothing.
#pragma once

#include <string_view>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"
#include "gui/XPic.h"

class XButton : public XControl, public XBroadcaster {
public:
    XButton();
    XButton(int x, int y, int width, int height, std::string_view text = {});

    // In toggle mode each press flips the down state and clicks at once.
    void SetToggleMode(bool on) { toggleMode_ = on; }
    bool IsToggleMode() const { return toggleMode_; }
    // From code (a toggle shown pressed, a button released after its popup): no broadcast.
    void SetDown(bool down);
    bool IsDown() const { return down_; }
    bool IsHovered() const { return hover_; }
    // The face colour of the pressed plain button: blue when highlighted.
    void SetHighlight(bool on);

    // Loads the picture and derives its pressed and idle copies; false when it did not load
    // (the button then draws plainly).
    bool SetPicture(std::string_view name);
    const XPic& Picture() const { return picture_; }
    // The rectangle that counts as over the button (the whole control, updated at each draw).
    const XRect& HitRect() const { return hit_; }

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    void DrawPlain(XGraphic* g);

private:
    bool toggleMode_ = false;
    XRect hit_;
    XPic picture_;
    XPic pressed_;
    XPic idle_;
    bool hover_ = false;
    bool down_ = false;
};
