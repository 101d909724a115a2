// The editor as a whole, built from the skin's pictures at their places: toolbar, memory meter,
// the rack of tone views (expanded, collapsed, a stack, empty slots) in its view port, and the
// keyboard pane.
#pragma once

#include <string>

namespace gallery {

// Writes editor_mock.png (800 x 560) and editor_mock_zoom.png (parts at 2x).
bool WriteEditorMock(const std::string& dir);

}  // namespace gallery
