// Scripted input on X11 through the XTest extension: the pointer really moves and keys go to the
// focused window, as with a user's mouse and keyboard.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/marlet-host/InputSink.h"
#include "tools/marlet-host/XcbConnection.h"

class XTestInput final : public InputSink {
public:
    // Throws std::runtime_error when the server has no XTest extension.
    explicit XTestInput(const XcbConnection& x);

    void Move(const EditorWindow& window, int x, int y) override;
    void Button(std::uint32_t button, bool press) override;
    void Key(std::uint32_t keysym, bool press) override;
    void Flush() override;

private:
    // The key code that gives `keysym`, and whether shift is needed for it; 0 when none does.
    xcb_keycode_t KeyCode(std::uint32_t keysym, bool& shifted) const;

    const XcbConnection& x_;
    std::vector<xcb_keysym_t> keymap_;
    xcb_keycode_t firstKeyCode_ = 0;
    int keysymsPerCode_ = 0;
    bool shiftAdded_ = false;  // shift pressed by us for the key that is down
};
