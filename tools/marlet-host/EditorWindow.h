// The host's top-level window that a plug-in's editor is opened into, whatever the window system:
// made at the editor's size by a WindowSystem, closable by the user, destroyed with the object.
// Every call comes from the GUI thread that made it.
#pragma once

#include <cstdint>
#include <vector>

class EditorWindow {
public:
    // 8-bit RGB, rows top to bottom.
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> rgb;
    };

    virtual ~EditorWindow() = default;

    // What effEditOpen gets: the X11 window id, or the HWND.
    virtual std::uintptr_t Handle() const = 0;
    // The size of the inside, where the editor goes.
    virtual void Resize(int width, int height) = 0;
    // Shows the window; returns once it is on the screen, or after a second at most.
    virtual void Show() = 0;
    // Handles what arrived for the window; false once the user asked to close it.
    virtual bool Pump() = 0;
    // The part of the inside that lies on the screen, the editor's pixels included. Throws
    // std::runtime_error when the pixels cannot be read.
    virtual Picture Snapshot() const = 0;
    // What the screen shows over the inside, the editor's own menus and popups on top of it
    // included (what a user sees there); by default the window's pixels alone.
    virtual Picture Screen() const { return Snapshot(); }
};
