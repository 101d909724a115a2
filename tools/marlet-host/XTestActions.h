// Plays an ActionScript into a window through the XTest extension, as if a user did it: the
// steps due by now are sent at each call of Advance, so the caller keeps its own pace.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "tools/marlet-host/ActionScript.h"
#include "tools/marlet-host/XcbConnection.h"

class XTestActions {
public:
    // Throws std::runtime_error when the server has no XTest extension.
    XTestActions(const XcbConnection& x, const ActionScript& script);

    // Starts the script over (each open of the editor plays it from the start).
    void Restart();
    // Sends every step that is due, with coordinates relative to `window`.
    void Advance(xcb_window_t window);
    bool Done() const { return next_ >= steps_.size(); }

private:
    // The key code that gives `keysym`, and whether shift is needed for it; 0 when none does.
    xcb_keycode_t KeyCode(std::uint32_t keysym, bool& shifted) const;
    void SendKey(std::uint32_t keysym, bool press);

    const XcbConnection& x_;
    std::vector<ActionScript::Step> steps_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point resumeAt_;
    std::vector<xcb_keysym_t> keymap_;
    xcb_keycode_t firstKeyCode_ = 0;
    int keysymsPerCode_ = 0;
    bool shiftAdded_ = false;  // shift pressed by us for the key that is down
};
