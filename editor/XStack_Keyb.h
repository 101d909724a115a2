// The stack editor's keyboard: all 128 keys over 750 pixels (10 per white key, 70 per octave),
// with the key-switch range laid over it in translucent red. The layer map above it shares its
// geometry, so a bar's ends line up with the keys it covers.
#pragma once

#include "gui/XControl.h"

class XStack_Keyb : public XControl {
public:
    static constexpr int kKeys = 128;
    static constexpr int kWidth = 750;
    static constexpr int kWhiteWidth = 10;
    static constexpr int kBlackWidth = 7;
    static constexpr int kOctaveWidth = 70;

    XStack_Keyb(int x, int y, int width, int height);

    // The overlay covers low..high; none while high is 0 or below.
    void SetSwitchRange(int low, int high);
    int SwitchLow() const { return switchLow_; }
    int SwitchHigh() const { return switchHigh_; }

    static bool IsBlack(int key);
    // The pixel span a key occupies on the keyboard: the white key's, or the black key's body.
    static int KeyLeft(int key);
    static int KeyRight(int key);  // one past the last pixel

    void Draw(XGraphic* g) override;

private:
    bool InSwitchRange(int key) const
    {
        return switchHigh_ > 0 && key >= switchLow_ && key <= switchHigh_;
    }

    int switchLow_ = 0;
    int switchHigh_ = 0;
};
