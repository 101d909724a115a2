// Scripted input on Windows through SendInput: the system's cursor moves and keys go to the
// focused window, as with a user's mouse and keyboard. The script's X keysyms are mapped to
// virtual keys: the named keys of ACTIONS.md by a table, characters by the keyboard layout.
#pragma once

#include <cstdint>

#include "tools/marlet-host/InputSink.h"

class Win32Input final : public InputSink {
public:
    void Move(const EditorWindow& window, int x, int y) override;
    void Button(std::uint32_t button, bool press) override;
    void Key(std::uint32_t keysym, bool press) override;

private:
    bool shiftAdded_ = false;  // shift pressed by us for the key that is down
};
