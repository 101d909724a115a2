// The host's top-level window that a plug-in's editor is opened into: created at the editor's
// size, closable by the window manager, destroyed with the object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/marlet-host/XcbConnection.h"

class EditorWindow {
public:
    // Throws std::runtime_error when the server refuses the window.
    EditorWindow(const XcbConnection& x, int width, int height, std::string_view title);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    xcb_window_t Id() const { return window_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Resize(int width, int height);
    // Maps the window and waits (at most a second) until the server shows it.
    void Show();
    // Handles what arrived for this window; false once the user asked to close it.
    bool Pump();
    // Where the window's top-left corner is on the root window.
    bool RootOrigin(int& x, int& y) const;

private:
    const XcbConnection& x_;
    xcb_window_t window_ = 0;
    xcb_atom_t deleteWindow_ = XCB_ATOM_NONE;
    int width_;
    int height_;
    bool closeAsked_ = false;
};
