#include "gui/x11/XKeyMapX11.h"

#include <array>
#include <utility>

#include "gui/XEvent.h"
#include "gui/XWindowPort.h"
#include "gui/x11/XcbReply.h"

namespace {

// Keysyms the GUI has codes for.
constexpr std::array<std::pair<std::uint32_t, std::int32_t>, 16> kKeyCodes {{
    {0xff08, kKeyBackspace},
    {0xff09, kKeyTab},
    {0xfe20, kKeyTab},  // ISO_Left_Tab, what shift+Tab gives
    {0xff0d, kKeyEnter},
    {0xff8d, kKeyEnter},  // keypad enter
    {0xff1b, kKeyEscape},
    {0xff51, kKeyLeft},
    {0xff52, kKeyUp},
    {0xff53, kKeyRight},
    {0xff54, kKeyDown},
    {0xff96, kKeyLeft},  // the keypad's arrows without number lock
    {0xff97, kKeyUp},
    {0xff98, kKeyRight},
    {0xff99, kKeyDown},
    {0xffff, kKeyDelete},
    {0xff9f, kKeyDelete},  // keypad delete
}};

std::int32_t Modifiers(std::uint16_t state)
{
    return ((state & XCB_MOD_MASK_SHIFT) ? kModShift : 0) |
           ((state & XCB_MOD_MASK_CONTROL) ? kModControl : 0) |
           ((state & XCB_MOD_MASK_1) ? kModCommand : 0);
}

}  // namespace

void XKeyMapX11::Load(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    minKeyCode_ = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, minKeyCode_, static_cast<std::uint8_t>(count)),
        nullptr));
    keymap_.clear();
    keysymsPerCode_ = 0;
    if (!mapping) return;
    keysymsPerCode_ = mapping->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    keymap_.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(mapping.get()));
}

std::uint32_t XKeyMapX11::KeySymOf(xcb_keycode_t code, std::uint16_t state) const
{
    if (keysymsPerCode_ <= 0 || code < minKeyCode_) return 0;
    const std::size_t base = static_cast<std::size_t>(code - minKeyCode_) * keysymsPerCode_;
    if (base + keysymsPerCode_ > keymap_.size()) return 0;
    const xcb_keysym_t plain = keymap_[base];
    const xcb_keysym_t shifted =
        keysymsPerCode_ > 1 && keymap_[base + 1] ? keymap_[base + 1] : plain;
    // The keypad follows number lock (Mod2 on every common layout).
    const bool keypad = shifted >= 0xff80 && shifted <= 0xffbd;
    bool shift = (state & XCB_MOD_MASK_SHIFT) != 0;
    if (keypad && (state & XCB_MOD_MASK_2)) shift = !shift;
    // Caps lock capitalises letters only.
    const bool letter = (plain >= 'a' && plain <= 'z') || (plain >= 0xe0 && plain <= 0xfe);
    if (!keypad && letter && (state & XCB_MOD_MASK_LOCK)) shift = !shift;
    return shift ? shifted : plain;
}

bool XKeyMapX11::KeyInput(std::uint32_t keysym, std::uint16_t state, XInput& input)
{
    input = XInput {};
    input.kind = XInput::kKey;
    input.modifiers = Modifiers(state);
    for (const auto& [sym, code] : kKeyCodes) {
        if (sym == keysym) {
            input.code = code;
            return true;
        }
    }
    std::uint32_t character = 0;
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
        character = keysym;  // Latin-1 keysyms are their code points
    else if (keysym >= 0x1000100 && keysym <= 0x110ffff)
        character = keysym - 0x1000000;  // the Unicode range of keysyms
    else if (keysym == 0xff80 || (keysym >= 0xffaa && keysym <= 0xffb9) || keysym == 0xffbd)
        character = keysym - 0xff80;  // keypad space, operators, digits and equals
    if (character == 0 || (character >= 0xd800 && character <= 0xdfff)) return false;
    input.character = static_cast<std::int32_t>(character);
    input.code = kKeyChar;
    return true;
}
