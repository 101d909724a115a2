// The MIDI activity lamp: lit while the tone holds notes.
#pragma once

#include "gui/XControl.h"
#include "gui/XPic.h"

class XMyLed : public XControl {
public:
    XMyLed(int x, int y, int width, int height);

    void SetOn(bool on);
    bool IsOn() const { return on_; }

    void Draw(XGraphic* g) override;

private:
    XPic lit_ {"led_on.png"};
    XPic dark_ {"led_off.png"};
    bool on_ = false;
};
