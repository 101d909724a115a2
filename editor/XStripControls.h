// The controls that a tone's strip and a stack's layer row share: mute and solo lamps, and
// volume, tune and pan faders with their values. Made on the parent at the skin's places; the
// parent listens to them.
#pragma once

#include <array>

#include "gui/XRect.h"

class XControl;
class XFader;
class XListener;
class XSlider;
class XTogLed;
class XValTop;

class XStripControls {
public:
    enum Value { kVolume, kTune, kPan };
    struct Places {
        XRect mute;
        XRect solo;
        std::array<int, 3> faderX;
        int faderY;
        std::array<int, 3> valueX;
        int valueY;
    };

    XStripControls(XControl& parent, XListener* listener, const Places& places);

    // Moves the faders and prints the values; shown values are no edits, so the faders tell
    // their listener nothing.
    void Show(int volume, int tune, int pan);
    // The lamps as the mute word says: 1 muted, 2 solo.
    void ShowMute(int word);
    // Prints one value as the strip prints it ("<C>", "L12" for pan).
    void ShowValue(Value which, int value);
    // Which of our faders the slider is; -1 for none of ours.
    int Which(const XSlider* slider) const;
    // The fader's value, rounded.
    int ValueOf(Value which) const;

    XTogLed& Mute() const { return *mute_; }
    XTogLed& Solo() const { return *solo_; }
    XFader& Fader(int which) const { return *faders_[static_cast<std::size_t>(which)]; }
    const XValTop& Text(int which) const { return *values_[static_cast<std::size_t>(which)]; }

private:
    XTogLed* mute_;
    XTogLed* solo_;
    std::array<XFader*, 3> faders_ {};
    std::array<XValTop*, 3> values_ {};
};
