// A connection to the test program's own X display (VirtualDisplayEnvironment). The server runs
// with -noreset, so it takes connections whatever clients came and went before.
#pragma once

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace testsupport {

// Null, with a failure naming the display, when the server does not take the connection.
inline xcb_connection_t* ConnectToTestDisplay()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (!xcb_connection_has_error(c)) return c;
    const char* display = std::getenv("DISPLAY");
    ADD_FAILURE() << "cannot connect to the test display " << (display ? display : "(none)");
    xcb_disconnect(c);
    return nullptr;
}

}  // namespace testsupport
