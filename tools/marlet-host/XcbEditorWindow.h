// The editor window on X11: a top-level window of the editor's size, closable by the window
// manager (WM_DELETE_WINDOW), read back with xcb_get_image.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/marlet-host/EditorWindow.h"
#include "tools/marlet-host/XcbConnection.h"

class XcbEditorWindow final : public EditorWindow {
public:
    // Throws std::runtime_error when the server refuses the window.
    XcbEditorWindow(const XcbConnection& x, int width, int height, std::string_view title);
    ~XcbEditorWindow() override;
    XcbEditorWindow(const XcbEditorWindow&) = delete;
    XcbEditorWindow& operator=(const XcbEditorWindow&) = delete;

    std::uintptr_t Handle() const override { return window_; }
    void Resize(int width, int height) override;
    // Maps the window and waits (at most a second) until the server shows it.
    void Show() override;
    bool Pump() override;
    // The window's pixels, its children included, clipped to the screen: the server refuses to
    // read anything off it.
    Picture Snapshot() const override;
    // The screen where the window is: menus and popups over the editor included.
    Picture Screen() const override;

private:
    Picture Read(bool screen) const;

    const XcbConnection& x_;
    xcb_window_t window_ = 0;
    xcb_atom_t deleteWindow_ = XCB_ATOM_NONE;
    int width_;
    int height_;
    bool closeAsked_ = false;
};
