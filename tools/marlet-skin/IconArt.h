// The browser's 16 x 16 icons and its tree's expanders, blended against the lists' colour.
#pragma once

#include <vector>

#include "tools/marlet-skin/SkinBitmap.h"

namespace skinart {

void AddIconArt(std::vector<SkinBitmap>& out);

}  // namespace skinart
