// A connection to the test's X display for window tests: null when there is no display. A
// server that lost its last client resets and refuses connections for a moment, so this tries
// again for about a second.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace testsupport {

inline xcb_connection_t* ConnectToTestDisplay()
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return nullptr;
    xcb_connection_t* c = nullptr;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (c) xcb_disconnect(c);
        c = xcb_connect(nullptr, nullptr);
        if (!xcb_connection_has_error(c)) return c;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    xcb_disconnect(c);
    return nullptr;
}

}  // namespace testsupport
