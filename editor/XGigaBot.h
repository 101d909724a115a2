// The tone view's lower panel: the skin's program panel (greyed while the tone is empty), or a
// plain dark panel behind a stack's layer rows.
#pragma once

#include "gui/XControl.h"
#include "gui/XPic.h"

class XGigaBot : public XControl {
public:
    XGigaBot(int x, int y, int width, int height, bool stack);

    void SetGreyed(bool greyed);
    bool IsGreyed() const { return greyed_; }

    void Draw(XGraphic* g) override;

private:
    XPic panel_;
    XPic grey_;
    bool stack_;
    bool greyed_ = false;
};
