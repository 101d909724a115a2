// The small records that travel through the GUI: an event posted to a view's queue and a key
// press routed to the focused control. Both are three signed 32-bit words.
#pragma once

#include <cstdint>

// Codes are small integers or four-character codes (FourCC in platform/FourCC.h).
struct XEvent {
    std::int32_t code = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;
};

// Key codes of XKey::code; 0 means a plain character in XKey::character.
enum XKeyCode : std::int32_t {
    kKeyChar = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDelete = 5,
    kKeyBackspace = 6,
    kKeyTab = 7,
    kKeyEnter = 8,
    kKeyEscape = 9,
    kKeyCopy = 10,
    kKeyPaste = 11,
};

// Modifier bits of XKey::modifiers.
enum XKeyModifier : std::int32_t {
    kModShift = 1,
    kModControl = 2,
    kModCommand = 4,
};

struct XKey {
    std::int32_t character = 0;  // 0 for keys that are not characters
    std::int32_t modifiers = 0;
    std::int32_t code = kKeyChar;
};
