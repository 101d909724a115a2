// Reads a window's pixels back from the X server (xcb_get_image) and writes them as an RGB PNG.
#pragma once

#include <string>

#include "tools/marlet-host/XcbConnection.h"

class PngSnap {
public:
    // The part of the window that lies on the screen, its children included. Throws
    // std::runtime_error when the server refuses the read or the file cannot be written.
    // Returns the size written.
    static void Write(const XcbConnection& x, xcb_window_t window, int width, int height,
                      const std::string& path, int& writtenWidth, int& writtenHeight);
};
