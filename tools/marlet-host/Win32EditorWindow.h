// The editor window on Windows: a top-level window whose inside (the client area) has the
// editor's size, made, pumped and destroyed on the GUI thread. Closing it (WM_CLOSE) ends the
// open; the window itself goes with the object.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/marlet-host/EditorWindow.h"

class Win32EditorWindow final : public EditorWindow {
public:
    // Throws std::runtime_error when the system refuses the window.
    Win32EditorWindow(int width, int height, std::string_view title);
    ~Win32EditorWindow() override;
    Win32EditorWindow(const Win32EditorWindow&) = delete;
    Win32EditorWindow& operator=(const Win32EditorWindow&) = delete;

    std::uintptr_t Handle() const override { return window_; }
    void Resize(int width, int height) override;
    void Show() override;
    // Dispatches every message of the thread: the editor's child window and its menus live on
    // it too.
    bool Pump() override;
    // BitBlt from the client area into a 32-bit DIB section, clipped to the screen.
    Picture Snapshot() const override;

private:
    friend struct Win32EditorWindowClass;

    std::uintptr_t window_ = 0;  // HWND
    int width_;
    int height_;
    bool closeAsked_ = false;
};
