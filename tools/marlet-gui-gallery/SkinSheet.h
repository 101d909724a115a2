// The gallery's pictures of the skin itself: every picture at its size and enlarged, and the
// toolbar buttons in their three derived states.
#pragma once

#include <string>

namespace gallery {

// Writes skin_pictures.png and skin_button_states.png; false when a file cannot be written.
bool WriteSkinSheets(const std::string& dir);

}  // namespace gallery
