// The gallery's pictures of the framework: text in the four fonts, the drawing primitives, and
// the controls that exist (panes, view ports with scroll bars, a dialog over a view).
#pragma once

#include <string>

namespace gallery {

// Writes fonts.png, primitives.png and controls.png; false when a file cannot be written.
bool WriteFrameworkSheets(const std::string& dir);

}  // namespace gallery
