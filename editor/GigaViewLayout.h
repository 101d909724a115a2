// Where the tone views put their controls on the skin's pictures (view_top, view_bot,
// view_part), and the colours they show. Positions are the pictures' own pixels; the skin
// generator paints its wells and grooves at the same places.
#pragma once

#include <array>

#include "gui/XColor.h"
#include "gui/XRect.h"

namespace viewlayout {

inline constexpr int kViewWidth = 767;
inline constexpr int kTopHeight = 25;
inline constexpr int kBottomHeight = 70;

// --- Top strip.
inline constexpr XRect kToneNumber = XRect(7, 5, 7 + 22 - 1, 5 + 16 - 1);
inline constexpr XRect kMidiLed = XRect(31, 5, 31 + 15 - 1, 5 + 16 - 1);
inline constexpr XRect kName = XRect(48, 5, 48 + 146 - 1, 5 + 16 - 1);
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

// --- Single-program panel.
inline constexpr XRect kProgramFacts = XRect(12, 14, 12 + 64 - 1, 14 + 46 - 1);
inline constexpr XRect kDimensionList = XRect(91, 5, 91 + 160 - 1, 5 + 56 - 1);
inline constexpr int kKnobSize = 33;
inline constexpr int kKnobY = 18;
inline constexpr double kKnobCentre = 16.5;
inline constexpr double kIndicatorRadius = 9.2;
inline constexpr std::array<int, 10> kKnobX {273, 342, 386, 430, 474, 518, 577, 621, 665, 711};
inline constexpr int kKnobValueWidth = 29;
inline constexpr int kKnobValueHeight = 11;
inline constexpr int kKnobValueY = 51;
inline constexpr XRect kFilterSwitch = XRect(564, 18, 564 + 12 - 1, 18 + 31 - 1);

// --- Stack panel: rows of view_part at x 25, 22 apart from y 2.
inline constexpr int kPartX = 25;
inline constexpr int kPartPitch = 22;
inline constexpr int kPartTop = 2;
inline constexpr int kPartWidth = 737;
inline constexpr int kPartHeight = 20;
inline constexpr XRect kPartNumber = XRect(3, 2, 3 + 18 - 1, 2 + 16 - 1);
inline constexpr XRect kPartName = XRect(23, 2, 23 + 146 - 1, 2 + 16 - 1);
inline constexpr XRect kPartMenu = XRect(173, 2, 173 + 17 - 1, 2 + 16 - 1);
inline constexpr XRect kPartMute = XRect(244, 3, 244 + 14 - 1, 3 + 14 - 1);
inline constexpr XRect kPartSolo = XRect(262, 3, 262 + 14 - 1, 3 + 14 - 1);
inline constexpr int kPartFaderY = 1;
inline constexpr std::array<int, 3> kPartFaderX {299, 455, 612};
inline constexpr std::array<int, 3> kPartValueX {391, 550, 705};
inline constexpr int kPartValueY = 2;
inline constexpr XRect kBadge = XRect(2, 4, 2 + 20 - 1, 4 + 14 - 1);
inline constexpr XRect kStackButton = XRect(4, 24, 4 + 16 - 1, 24 + 16 - 1);

// --- Colours.
inline constexpr XColor kSelectedFrame(80, 160, 255);
inline constexpr XColor kDropFrame(240, 240, 31);
inline constexpr XColor kValueText(200, 200, 210);
inline constexpr XColor kBelow(253, 100, 31);
inline constexpr XColor kAbove(0, 203, 31);
inline constexpr XColor kLoaded(0, 203, 31);
inline constexpr XColor kRequested(160, 160, 160);
inline constexpr XColor kReading(250, 250, 200);
inline constexpr XColor kSampling(250, 250, 250);
inline constexpr XColor kFailed(255, 100, 100);
inline constexpr XColor kDimmed(110, 110, 110);
inline constexpr XColor kVolumeFill(120, 120, 150);
inline constexpr XColor kTuneFill(255, 80, 30);
inline constexpr XColor kPanFill(150, 230, 170);
inline constexpr XColor kMuteLamp(255, 190, 60);
inline constexpr XColor kSoloLamp(120, 220, 120);
inline constexpr XColor kBadgeText(246, 166, 50);

}  // namespace viewlayout
