// The seam between the GUI core and an operating system's window: the input records a backend
// (gui/x11 on Linux, gui/win32 on Windows) produces, and the services the core asks of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class XMenuHost;
class XTarget;

// Pixels per pixel of the GUI on a screen of `dpi` dots per inch: 2 from 1.5 times the classic
// 96 on, else 1 (whole multiples keep the skin's pixels sharp).
constexpr int ScaleForDpi(double dpi)
{
    return dpi >= 144 ? 2 : 1;
}

// One message from the window, already translated. Points are in the window's coordinates.
struct XInput {
    enum Kind : std::uint8_t {
        kPaint,        // the window needs its picture
        kWindowMoved,  // x, y: the window's new position in its parent
        kMouseMove,    // x, y, shift, control
        kLeftDown,     // x, y, shift, control (double clicks are derived from the time)
        kLeftUp,       // x, y
        kRightDown,    // x, y, shift, control
        kRightUp,      // x, y
        kWheel,        // x, y, wheelX, wheelY: notches, positive away from the user / right
        kKey,          // character (0 when none), modifiers (XKeyModifier bits), code (XKeyCode)
        kTimer,        // the 50 ms tick
        kFocusIn,
        kFocusOut,
        kMouseLeave,
    };

    Kind kind = kPaint;
    int x = 0;
    int y = 0;
    bool shift = false;
    bool control = false;
    int wheelX = 0;
    int wheelY = 0;
    std::int32_t character = 0;
    std::int32_t modifiers = 0;
    std::int32_t code = 0;
};

// What the core asks of the window. All calls come on the GUI thread.
class XWindowPort {
public:
    virtual ~XWindowPort() = default;

    // A repeating timer that delivers kTimer records every `periodMs`.
    virtual void StartTimer(int periodMs) = 0;
    virtual void StopTimer() = 0;
    // Mouse records keep coming to this window while captured, also outside it.
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    virtual bool HasMouseCapture() const = 0;
    virtual void TakeKeyboardFocus() = 0;
    // The window's top-left on the screen (popup menus open there), in the GUI's pixels: the
    // screen's divided by the window's scale, as menu hosts take them; false when unknown.
    virtual bool ScreenOrigin(int& x, int& y) const = 0;
    // Where the back buffer is presented; null while the window cannot show anything.
    virtual XTarget* Target() = 0;
    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(std::string_view text) = 0;
    // Shows menus in windows of their own; null where the editor shows them inside itself.
    virtual XMenuHost* MenuHost() { return nullptr; }
};
