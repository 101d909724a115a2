// The texts and colours the tone views show for the tone's values.
#pragma once

#include <string>
#include <string_view>

#include "gui/XColor.h"

namespace viewtext {

// Output bus b as its channel pair, "1|2" for bus 0.
std::string BusText(int bus);
// "<C>" at 64, "L<n>" left of it, "R<n>" right of it.
std::string PanText(int pan);
// "C3" for key 60: the note's letter and key / 12 - 2.
std::string NoteName(int key);
// "%d" with no decimals, else "%.2f".
std::string ValueText(double value, int decimals);
// A stack's select mode as the stack editor names it ("Key Switch") and as the tone view's
// badge abbreviates it ("KS"); controllers 1..127 are "Control Change", "CC".
std::string_view SelectModeName(int mode);
std::string_view SelectModeBadge(int mode);
// A value against the program's own (the marker) as printed: red below, grey equal, green
// above.
XColor ValueColour(double value, double marker, int decimals);

}  // namespace viewtext
