#include "tools/marlet-host/Win32Input.h"

#include <windows.h>

#include <array>
#include <iostream>

#include "tools/marlet-host/EditorWindow.h"

namespace {

struct VirtualKey {
    WORD code = 0;          // 0: no key gives it
    bool extended = false;  // the grey keys beside the main block
    bool shifted = false;   // the layout needs shift for the character
};

struct NamedKey {
    std::uint32_t keysym;
    WORD code;
    bool extended;
};

// The X keysyms of ACTIONS.md's key names and modifiers; F1-F12 follow in sequence.
constexpr std::array<NamedKey, 18> kNamedKeys {{
    {0xff0d, VK_RETURN, false},
    {0xff8d, VK_RETURN, true},
    {0xff1b, VK_ESCAPE, false},
    {0xff09, VK_TAB, false},
    {0xff08, VK_BACK, false},
    {0xffff, VK_DELETE, true},
    {0xff51, VK_LEFT, true},
    {0xff52, VK_UP, true},
    {0xff53, VK_RIGHT, true},
    {0xff54, VK_DOWN, true},
    {0xff50, VK_HOME, true},
    {0xff57, VK_END, true},
    {0xff55, VK_PRIOR, true},
    {0xff56, VK_NEXT, true},
    {0x0020, VK_SPACE, false},
    {0xffe1, VK_SHIFT, false},
    {0xffe3, VK_CONTROL, false},
    {0xffe9, VK_MENU, false},
}};
constexpr std::uint32_t kF1 = 0xffbe, kF12 = 0xffc9;

// Normalised absolute coordinates (0-65535 across the desktop) that land on pixel `at`.
LONG Normalised(int at, int origin, int size)
{
    const long long offset = at - origin;
    return static_cast<LONG>((offset * 65536 + size - 1) / size);
}

void Send(INPUT input)
{
    SendInput(1, &input, sizeof input);
}

void SendKey(VirtualKey key, bool press)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.code;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.code, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (press ? 0 : KEYEVENTF_KEYUP) | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
    Send(input);
}

VirtualKey KeyFor(std::uint32_t keysym)
{
    for (const NamedKey& named : kNamedKeys)
        if (named.keysym == keysym) return {named.code, named.extended, false};
    if (keysym >= kF1 && keysym <= kF12)
        return {static_cast<WORD>(VK_F1 + (keysym - kF1)), false, false};
    // Printable ASCII keysyms are the characters themselves.
    if (keysym > 0x20 && keysym < 0x7f) {
        const SHORT scan = VkKeyScanW(static_cast<WCHAR>(keysym));
        // Not on the layout, or only with control or alt (AltGr).
        if (scan == -1 || (scan & 0x0600)) return {};
        return {static_cast<WORD>(scan & 0xff), false, (scan & 0x0100) != 0};
    }
    return {};
}

}  // namespace

void Win32Input::Move(const EditorWindow& window, int x, int y)
{
    POINT at {x, y};
    ClientToScreen(reinterpret_cast<HWND>(window.Handle()), &at);
    INPUT input {};
    input.type = INPUT_MOUSE;
    input.mi.dx =
        Normalised(at.x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy =
        Normalised(at.y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    Send(input);
}

void Win32Input::Button(std::uint32_t button, bool press)
{
    INPUT input {};
    input.type = INPUT_MOUSE;
    switch (button) {
        case 1:
            input.mi.dwFlags = press ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
            break;
        case 2:
            input.mi.dwFlags = press ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
            break;
        case 3:
            input.mi.dwFlags = press ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
            break;
        case 4:
        case 5:
            // X gives a wheel notch as a press and a release of its button: one notch a press.
            if (!press) return;
            input.mi.dwFlags = MOUSEEVENTF_WHEEL;
            input.mi.mouseData = static_cast<DWORD>(button == 4 ? WHEEL_DELTA : -WHEEL_DELTA);
            break;
        default:
            return;
    }
    Send(input);
}

void Win32Input::Key(std::uint32_t keysym, bool press)
{
    const VirtualKey key = KeyFor(keysym);
    if (!key.code) {
        std::cerr << "marlet-host: note: no key gives keysym 0x" << std::hex << keysym << std::dec
                  << "; skipped\n";
        return;
    }
    const VirtualKey shift {VK_SHIFT, false, false};
    if (press && key.shifted) {
        SendKey(shift, true);
        shiftAdded_ = true;
    }
    SendKey(key, press);
    if (!press && shiftAdded_) {
        SendKey(shift, false);
        shiftAdded_ = false;
    }
}
