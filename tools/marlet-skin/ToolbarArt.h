// The toolbar: its background, the nine command buttons and the logo.
#pragma once

#include <vector>

#include "tools/marlet-skin/SkinBitmap.h"

namespace skinart {

void AddToolbarArt(std::vector<SkinBitmap>& out);

}  // namespace skinart
