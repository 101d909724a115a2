// The tone view's top strip: the skin's strip, or its dimmer alternative for an empty tone.
#pragma once

#include "gui/XControl.h"
#include "gui/XPic.h"

class XGigaTop : public XControl {
public:
    XGigaTop(int x, int y, int width, int height);

    // The dimmer picture (no instrument).
    void SetAlternative(bool alternative);
    bool IsAlternative() const { return alternative_; }

    void Draw(XGraphic* g) override;

private:
    XPic strip_ {"view_top.png"};
    XPic slot_ {"view_slot.png"};
    bool alternative_ = false;
};
