// Where the editor places its controls on the skin's pictures, so the painted wells, grooves
// and seats fall under them. Positions are in the picture's own pixels.
#pragma once

#include <array>

#include "gui/XRect.h"

namespace layout {

// --- Toolbar (800 x 48 pane): nine buttons, then the logo 150 pixels from the right.
inline constexpr int kToolbarWidth = 800;
inline constexpr int kButtonX0 = 5;
inline constexpr int kButtonPitch = 60;
inline constexpr int kButtonY = 3;
inline constexpr int kButtonWidth = 59;
inline constexpr int kButtonHeight = 44;
inline constexpr int kLogoX = kToolbarWidth - 150;
inline constexpr int kLogoY = 5;

// --- Tone view top strip (767 x 25).
inline constexpr XRect kToneNumber = XRect(7, 5, 7 + 22 - 1, 5 + 16 - 1);
inline constexpr XRect kMidiLed = XRect(31, 5, 31 + 15 - 1, 5 + 16 - 1);
inline constexpr XRect kName = XRect(48, 5, 48 + 146 - 1, 5 + 16 - 1);
// The instrument menu button sits in the gap between the name and the bus.
inline constexpr XRect kInstrumentButton = XRect(198, 5, 198 + 17 - 1, 5 + 16 - 1);
inline constexpr XRect kBus = XRect(220, 5, 220 + 44 - 1, 5 + 16 - 1);
inline constexpr XRect kMute = XRect(269, 6, 269 + 14 - 1, 6 + 14 - 1);
inline constexpr XRect kSolo = XRect(287, 6, 287 + 14 - 1, 6 + 14 - 1);
inline constexpr int kFaderWidth = 92;
inline constexpr int kFaderHeight = 18;
inline constexpr int kFaderY = 4;
inline constexpr std::array<int, 3> kFaderX {324, 480, 637};
inline constexpr std::array<int, 3> kValueX {416, 575, 730};
inline constexpr int kValueWidth = 30;
inline constexpr int kValueY = 5;
inline constexpr int kValueHeight = 16;

// --- Tone view lower panel (767 x 70).
inline constexpr XRect kProgramFacts = XRect(12, 14, 12 + 64 - 1, 14 + 46 - 1);
inline constexpr XRect kDimensionList = XRect(91, 5, 91 + 160 - 1, 5 + 56 - 1);
inline constexpr int kKnobSize = 33;
inline constexpr int kKnobY = 18;
inline constexpr float kKnobCentre = 16.5f;
inline constexpr float kIndicatorRadius = 9.2f;
inline constexpr std::array<int, 10> kKnobX {273, 342, 386, 430, 474, 518, 577, 621, 665, 711};
inline constexpr int kKnobValueWidth = 29;
inline constexpr int kKnobValueHeight = 11;
inline constexpr int kKnobValueY = 51;
inline constexpr XRect kFilterSwitch = XRect(564, 18, 564 + 12 - 1, 18 + 31 - 1);

// --- Stack layer row (737 x 20), drawn at x 25 of the lower panel: its columns line up with
// the top strip's.
inline constexpr int kPartX = 25;
inline constexpr XRect kPartNumber = XRect(3, 2, 3 + 18 - 1, 2 + 16 - 1);
inline constexpr XRect kPartName = XRect(23, 2, 23 + 146 - 1, 2 + 16 - 1);
inline constexpr XRect kPartMenu = XRect(173, 2, 173 + 17 - 1, 2 + 16 - 1);
inline constexpr XRect kPartMute = XRect(244, 3, 244 + 14 - 1, 3 + 14 - 1);
inline constexpr XRect kPartSolo = XRect(262, 3, 262 + 14 - 1, 3 + 14 - 1);
inline constexpr int kPartFaderY = 1;
inline constexpr std::array<int, 3> kPartFaderX {299, 455, 612};
inline constexpr std::array<int, 3> kPartValueX {391, 550, 705};
inline constexpr int kPartValueY = 2;

// --- Keyboard (781 x 80): 52 white keys of 15 pixels from note 21; black keys 8 wide and 49
// long, centred on the line between their two white neighbours.
inline constexpr int kFirstNote = 21;
inline constexpr int kLastNote = 108;
inline constexpr int kWhiteKeyWidth = 15;
inline constexpr int kBlackKeyWidth = 8;
inline constexpr int kBlackKeyLength = 49;
inline constexpr int kKeyboardWidth = 781;
inline constexpr int kKeyboardHeight = 80;
inline constexpr int kKeyPaneKeyboardX = 8;
inline constexpr int kKeyPaneKeyboardY = 88 - 84;

constexpr bool IsBlackKey(int note)
{
    const int n = note % 12;
    return n == 1 || n == 3 || n == 6 || n == 8 || n == 10;
}
// The left edge of a white key, or of a black key's body.
constexpr int KeyLeft(int note)
{
    constexpr std::array<int, 12> offset {0, 11, 15, 26, 30, 45, 56, 60, 71, 75, 86, 90};
    return -75 + 105 * (note / 12 - 1) + offset[note % 12];
}

}  // namespace layout
