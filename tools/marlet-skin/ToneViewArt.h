// The tone view: its top strip (and the empty slot's variant), its lower panel with the knob
// plates and display wells, and the stack's layer row.
#pragma once

#include <vector>

#include "tools/marlet-skin/SkinBitmap.h"

namespace skinart {

void AddToneViewArt(std::vector<SkinBitmap>& out);

}  // namespace skinart
