// Where the primitive steps of an input script go: the window system's own way of making up user
// input, so that the editor receives exactly what a mouse and a keyboard would give it.
#pragma once

#include <cstdint>

class EditorWindow;

class InputSink {
public:
    virtual ~InputSink() = default;

    // Moves the pointer to (x, y) of `window`'s inside.
    virtual void Move(const EditorWindow& window, int x, int y) = 0;
    // X button numbers: 1 left, 2 middle, 3 right, 4 wheel away from the user, 5 towards.
    virtual void Button(std::uint32_t button, bool press) = 0;
    // An X keysym; shift is added when the keyboard needs it for the character.
    virtual void Key(std::uint32_t keysym, bool press) = 0;
    // Sends what was queued.
    virtual void Flush() {}
};
