// What the tone views and the dialogs ask of the main editor: its player and its stack mode.
// The main editor implements it; views and dialogs keep a reference for their whole life,
// which ends before the editor's.
#pragma once

#include <string>

class GigaPlayer;

class GigaEditorLink {
public:
    virtual ~GigaEditorLink() = default;
    virtual GigaPlayer& Player() = 0;
    // On: an instrument loaded into a view joins its stack; off: it replaces what was there.
    virtual bool StackMode() const = 0;
    // Whether an instrument file may join the rack; a path too long for a performance to keep
    // is refused with a message to the user (it would be lost at the next reload).
    virtual bool AcceptInstrumentPath(const std::string& path) = 0;
};
