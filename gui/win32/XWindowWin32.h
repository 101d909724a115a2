// The editor's window on Windows: a child of the host's window with a window class of our own,
// whose window procedure turns messages into input records for XWinGui and shows the back
// buffer with SetDIBitsToDevice. The 50 ms tick is a window timer, so it runs on the host's GUI
// thread between its messages, like every other call here.
//
// When the host destroys its window (and ours with it) first, the window goes inert: every call
// then does nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "gui/XGraphic.h"
#include "gui/XMenuWindow.h"
#include "gui/XWindowPort.h"
#include "platform/QelLog.h"

class XWinGui;

class XWindowWin32 final : public XWindowPort,
                           public XTarget,
                           private XMenuWindow::System,
                           public QelLog {
public:
    static constexpr std::size_t kMaxClipboardBytes = 1 << 20;

    // A child window of `parent` (an HWND) at the size of the gui's root view, shown; the gui
    // gets it as its port and window handle. Null, with a log line, when the parent is no
    // window or the gui has no root view. `scale` 1 or 2 fixes the scale (every pixel of the gui
    // drawn as scale x scale, input divided back); 0 takes DisplayScale. `display` is the X11
    // backend's.
    static std::unique_ptr<XWindowWin32> Open(XWinGui& gui, std::uintptr_t parent,
                                              std::string_view display = {}, int scale = 0);
    // The scale for the screen's dots per inch as this process sees them: a host that is not
    // aware of high-density screens sees 96 and the system enlarges its windows itself.
    static int DisplayScale(std::string_view display = {});
    ~XWindowWin32() override;
    XWindowWin32(const XWindowWin32&) = delete;
    XWindowWin32& operator=(const XWindowWin32&) = delete;

    // The host's idle call: the timer and the messages come by themselves, so this only tells
    // whether the window still lives.
    bool Idle() { return alive_; }
    bool Alive() const { return alive_; }
    std::uintptr_t WindowId() const { return window_; }
    int Scale() const { return scale_; }

    // The input record for a key message (WM_KEYDOWN's virtual key, or WM_CHAR's UTF-16 unit
    // when `character`), with the XKeyModifier bits `modifiers`; false for what the GUI has no
    // use for (modifiers, function keys, control characters that WM_KEYDOWN already gave, a
    // lone surrogate half). `pendingHigh` keeps a high surrogate until its low half comes.
    static bool KeyInput(std::uint32_t key, bool character, std::int32_t modifiers,
                         char16_t& pendingHigh, XInput& input);

    // XWindowPort
    void StartTimer(int periodMs) override;
    void StopTimer() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool HasMouseCapture() const override;
    void TakeKeyboardFocus() override;
    bool ScreenOrigin(int& x, int& y) const override;
    XTarget* Target() override { return alive_ ? this : nullptr; }
    std::string ClipboardText() override;
    void SetClipboardText(std::string_view text) override;
    // A menu is a popup window of its own over everything, as on X11, holding the mouse
    // (SetCapture) while it is open so that presses outside it end it; keys reach it through
    // the editor's window, which keeps the focus.
    XMenuHost* MenuHost() override { return alive_ ? &menus_ : nullptr; }
    // The open menu's window (an HWND), 0 when none (for tests).
    std::uintptr_t MenuWindowId() const { return menuWindow_; }

    // XTarget
    void Put(const std::uint32_t* pixels, int width, int height, int x, int y) override;

private:
    explicit XWindowWin32(XWinGui& gui);
    bool Create(std::uintptr_t parent, int scale);
    // The window procedure's work for the editor's window or the menu's; `handled` false lets
    // the system's default answer.
    std::intptr_t Message(std::uintptr_t hwnd, unsigned message, std::uintptr_t wParam,
                          std::intptr_t lParam, bool& handled);
    std::intptr_t MenuMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                              bool& handled);
    // WM_PAINT of the editor's window or the menu's: their picture, drawn into the paint's DC.
    void Paint(std::uintptr_t hwnd);
    void PutInto(std::uintptr_t hwnd, const std::uint32_t* pixels, int width, int height, int x,
                 int y);
    void Send(const XInput& input);

    // XMenuWindow::System
    bool MenuArea(XRect& area) override;
    bool OpenMenuWindow(int x, int y, int width, int height) override;
    void PutMenuPixels(const std::uint32_t* pixels, int width, int height) override;
    void CloseMenuWindow() override;
    friend struct XWindowWin32Class;

    XWinGui& gui_;
    std::uintptr_t window_ = 0;       // HWND
    std::uintptr_t paintWindow_ = 0;  // the HWND of the WM_PAINT in progress
    std::uintptr_t paintDc_ = 0;      // and its HDC
    bool alive_ = false;
    bool attached_ = false;
    bool registered_ = false;
    bool timerRunning_ = false;
    bool trackingLeave_ = false;
    char16_t pendingHigh_ = 0;
    int scale_ = 1;
    int wheelRestY_ = 0;  // a high-resolution wheel's part of a notch
    int wheelRestX_ = 0;
    std::uintptr_t menuWindow_ = 0;  // HWND
    XMenuWindow menus_ {*this};
};
