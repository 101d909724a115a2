// The skin's colours in one place. The surfaces are neutral greys (red = green = blue): the
// toolbar buttons derive their idle and pressed looks by changing saturation, which leaves a
// neutral background untouched, so only the amber accent changes with a button's state.
#pragma once

#include "gui/XColor.h"

namespace palette {

// Panels: a charcoal with a subtle vertical gradient, lit from above.
inline constexpr XColor kPanelTop(60, 60, 60);
inline constexpr XColor kPanelBottom(42, 42, 42);
inline constexpr XColor kPanelHighlight(86, 86, 86);
inline constexpr XColor kPanelShadow(20, 20, 20);
// The deeper panel of an expanded tone view and the keyboard pane.
inline constexpr XColor kDeepTop(40, 40, 40);
inline constexpr XColor kDeepBottom(31, 31, 31);
// Recessed wells behind displays, values and fader grooves.
inline constexpr XColor kWell(17, 17, 17);
inline constexpr XColor kWellEdge(10, 10, 10);
inline constexpr XColor kWellLip(76, 76, 76);
// Group plates inside the lower panel.
inline constexpr XColor kPlateTop(50, 50, 50);
inline constexpr XColor kPlateBottom(44, 44, 44);

// Text.
inline constexpr XColor kLabel(150, 150, 150);
inline constexpr XColor kLabelBright(206, 206, 206);
inline constexpr XColor kLabelDim(104, 104, 104);

// The one accent: a warm amber for active states, LEDs and the logo.
inline constexpr XColor kAccent(246, 166, 50);
inline constexpr XColor kAccentBright(255, 214, 130);
inline constexpr XColor kAccentDark(96, 60, 20);
inline constexpr XColor kAccentDeep(52, 34, 14);

// Knobs.
inline constexpr XColor kKnobTop(74, 74, 76);
inline constexpr XColor kKnobBottom(30, 30, 32);
inline constexpr XColor kKnobRim(12, 12, 12);
inline constexpr XColor kKnobTick(120, 120, 120);

// Keys.
inline constexpr XColor kKeyWhiteTop(214, 214, 210);
inline constexpr XColor kKeyWhiteBottom(250, 250, 247);
inline constexpr XColor kKeyGap(44, 44, 44);
inline constexpr XColor kKeyBlack(22, 22, 24);
inline constexpr XColor kKeyBlackFace(52, 52, 56);
inline constexpr XColor kFelt(92, 22, 24);

// The rack behind the tone views is black.
inline constexpr XColor kRack(0, 0, 0);
// The browser's lists and tree.
inline constexpr XColor kBrowserList(50, 60, 80);

}  // namespace palette
