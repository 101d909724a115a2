// The keyboard of an X connection: key codes to key symbols as the server maps them (with
// shift, caps lock and number lock), and key symbols to the GUI's key records.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

struct XInput;

class XKeyMapX11 {
public:
    // Reads the server's map; again whenever the server says it changed.
    void Load(xcb_connection_t* connection);
    // The key symbol of key `code` under the X modifier `state`; 0 when the map has none.
    std::uint32_t KeySymOf(xcb_keycode_t code, std::uint16_t state) const;
    // The input record for a press of key `code`; false for keys the GUI has no use for.
    bool Translate(xcb_keycode_t code, std::uint16_t state, XInput& input) const
    {
        return KeyInput(KeySymOf(code, state), state, input);
    }

    // The input record for a key with `keysym` and the X modifier `state`; false for keys the
    // GUI has no use for (modifiers, dead keys, function keys). Characters are Unicode code
    // points; XKey consumers take what they understand.
    static bool KeyInput(std::uint32_t keysym, std::uint16_t state, XInput& input);

private:
    xcb_keycode_t minKeyCode_ = 0;
    int keysymsPerCode_ = 0;
    std::vector<xcb_keysym_t> keymap_;
};
