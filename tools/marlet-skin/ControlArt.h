// Small controls: the fader thumb, the LEDs, the knob, the rack's expand toggles and the
// filter switch. Each is masked and blended against the picture it sits on, so `out` must
// already hold the tone view's pictures.
#pragma once

#include <vector>

#include "tools/marlet-skin/SkinBitmap.h"

namespace skinart {

void AddControlArt(std::vector<SkinBitmap>& out);

}  // namespace skinart
