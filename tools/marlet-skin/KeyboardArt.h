// The on-screen keyboard's 88 keys and the pane it sits in.
#pragma once

#include <vector>

#include "tools/marlet-skin/SkinBitmap.h"

namespace skinart {

void AddKeyboardArt(std::vector<SkinBitmap>& out);

}  // namespace skinart
