#include "gui/win32/XWindowWin32.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <utility>

#include "gui/XEvent.h"
#include "gui/XView.h"
#include "gui/XWinGui.h"
#include "platform/win32/WideText.h"

namespace {

constexpr UINT_PTR kTimerId = 1;

// Virtual keys the GUI has codes for.
constexpr std::array<std::pair<std::uint32_t, std::int32_t>, 10> kKeyCodes {{
    {VK_BACK, kKeyBackspace},
    {VK_TAB, kKeyTab},
    {VK_RETURN, kKeyEnter},
    {VK_ESCAPE, kKeyEscape},
    {VK_LEFT, kKeyLeft},
    {VK_UP, kKeyUp},
    {VK_RIGHT, kKeyRight},
    {VK_DOWN, kKeyDown},
    {VK_DELETE, kKeyDelete},
    {VK_SEPARATOR, kKeyEnter},
}};

std::int32_t KeyModifiers()
{
    return ((GetKeyState(VK_SHIFT) & 0x8000) ? kModShift : 0) |
           ((GetKeyState(VK_CONTROL) & 0x8000) ? kModControl : 0) |
           ((GetKeyState(VK_MENU) & 0x8000) ? kModCommand : 0);
}

HWND Hwnd(std::uintptr_t handle)
{
    return reinterpret_cast<HWND>(handle);
}

// The record of a mouse message (the pointer moved, a button went down or up) in the gui's
// pixels; false for other messages.
bool MouseInput(UINT message, WPARAM wParam, LPARAM lParam, int scale, XInput& input)
{
    constexpr std::array<std::pair<UINT, XInput::Kind>, 5> kKinds {{
        {WM_MOUSEMOVE, XInput::kMouseMove},
        {WM_LBUTTONDOWN, XInput::kLeftDown},
        {WM_LBUTTONUP, XInput::kLeftUp},
        {WM_RBUTTONDOWN, XInput::kRightDown},
        {WM_RBUTTONUP, XInput::kRightUp},
    }};
    const auto found = std::find_if(kKinds.begin(), kKinds.end(),
                                    [&](const auto& kind) { return kind.first == message; });
    if (found == kKinds.end()) return false;
    input.kind = found->second;
    input.x = GET_X_LPARAM(lParam) / scale;
    input.y = GET_Y_LPARAM(lParam) / scale;
    input.shift = (wParam & MK_SHIFT) != 0;
    input.control = (wParam & MK_CONTROL) != 0;
    return true;
}

}  // namespace

// The window class, registered under a name of the module's own: two copies of
// the plug-in in one host must not share a window procedure.
struct XWindowWin32Class {
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* window = reinterpret_cast<XWindowWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (window) {
            bool handled = false;
            const std::intptr_t answer = window->Message(reinterpret_cast<std::uintptr_t>(hwnd),
                                                         message, wParam, lParam, handled);
            if (handled) return answer;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static HMODULE Module()
    {
        HMODULE module = nullptr;
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&Procedure), &module);
        return module;
    }

    static const wchar_t* Name()
    {
        static const std::wstring name = [] {
            wchar_t text[48];
            swprintf(text, 48, L"MarletEditor%p", static_cast<void*>(Module()));
            return std::wstring(text);
        }();
        return name.c_str();
    }

    // Registered while an editor window exists: a class left behind when the host unloads the
    // plug-in would point at code that is gone.
    static bool Acquire()
    {
        std::lock_guard lock(Mutex());
        if (Users() == 0) {
            WNDCLASSEXW windowClass {};
            windowClass.cbSize = sizeof windowClass;
            // No CS_DBLCLKS: the gui derives double clicks from the presses' times.
            windowClass.style = CS_HREDRAW | CS_VREDRAW;
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = Module();
            windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            windowClass.lpszClassName = Name();
            if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                return false;
        }
        ++Users();
        return true;
    }

    static void Release()
    {
        std::lock_guard lock(Mutex());
        if (Users() > 0 && --Users() == 0) UnregisterClassW(Name(), Module());
    }

    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }
    static int& Users()
    {
        static int users = 0;
        return users;
    }
};

std::unique_ptr<XWindowWin32> XWindowWin32::Open(XWinGui& gui, std::uintptr_t parent,
                                                 std::string_view, int scale)
{
    std::unique_ptr<XWindowWin32> window(new XWindowWin32(gui));
    if (!gui.RootView()) {
        window->Log("*** XWindowWin32::Open() without a root view ***\r\n");
        return nullptr;
    }
    if (!window->Create(parent, scale == 1 || scale == 2 ? scale : DisplayScale())) return nullptr;
    gui.SetPort(window.get());
    gui.SetWindow(window->window_);
    window->attached_ = true;
    return window;
}

XWindowWin32::XWindowWin32(XWinGui& gui) : gui_(gui) {}

int XWindowWin32::DisplayScale(std::string_view)
{
    HDC screen = GetDC(nullptr);
    if (!screen) return 1;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return ScaleForDpi(dpi);
}

bool XWindowWin32::Create(std::uintptr_t parent, int scale)
{
    if (!parent || !IsWindow(Hwnd(parent))) {
        Log("XWindowWin32::Open() no parent window %p\r\n", reinterpret_cast<void*>(parent));
        return false;
    }
    const XView* root = gui_.RootView();
    scale_ = scale;
    const int width = std::clamp(root->Width() * scale_, 1, XGraphic::kMaxSide);
    const int height = std::clamp(root->Height() * scale_, 1, XGraphic::kMaxSide);
    if (!XWindowWin32Class::Acquire()) {
        Log("XWindowWin32::Open() cannot register the window class (error %lu)\r\n",
            GetLastError());
        return false;
    }
    registered_ = true;
    // The procedure finds this object from the first message on (WM_NCCREATE); until
    // CreateWindowExW returns and window_ is set, the system's default answers.
    HWND hwnd = CreateWindowExW(0, XWindowWin32Class::Name(), L"",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, width,
                                height, Hwnd(parent), nullptr, XWindowWin32Class::Module(), this);
    if (!hwnd) {
        Log("XWindowWin32::Open() cannot create the window (error %lu)\r\n", GetLastError());
        window_ = 0;
        alive_ = false;
        return false;
    }
    window_ = reinterpret_cast<std::uintptr_t>(hwnd);
    alive_ = true;
    Log("XWindowWin32::Open(%p) window %p %dx%d scale %d\r\n", reinterpret_cast<void*>(parent),
        static_cast<void*>(hwnd), width, height, scale_);
    return true;
}

XWindowWin32::~XWindowWin32()
{
    menus_.CancelMenu();
    if (attached_) {
        gui_.SetPort(nullptr);
        gui_.SetWindow(0);
    }
    if (alive_) {
        alive_ = false;
        HWND hwnd = Hwnd(window_);
        KillTimer(hwnd, kTimerId);
        if (GetCapture() == hwnd) ReleaseCapture();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    if (registered_) XWindowWin32Class::Release();
}

void XWindowWin32::Send(const XInput& input)
{
    if (alive_) gui_.WindowProc(input);
}

bool XWindowWin32::KeyInput(std::uint32_t key, bool character, std::int32_t modifiers,
                            char16_t& pendingHigh, XInput& input)
{
    input = XInput {};
    input.kind = XInput::kKey;
    input.modifiers = modifiers;
    if (!character) {
        for (const auto& [vk, code] : kKeyCodes) {
            if (vk == key) {
                input.code = code;
                return true;
            }
        }
        return false;
    }
    std::uint32_t code = key;
    if (code >= 0xD800 && code <= 0xDBFF) {
        pendingHigh = static_cast<char16_t>(code);
        return false;
    }
    if (code >= 0xDC00 && code <= 0xDFFF) {
        if (!pendingHigh) return false;
        code = 0x10000 + ((pendingHigh - 0xD800u) << 10) + (code - 0xDC00);
    }
    pendingHigh = 0;
    // Backspace, tab, enter and escape came as virtual keys; control+letter comes as its
    // control character, which the gui turns into copy and paste.
    const bool control = (modifiers & kModControl) != 0;
    if (code == 0x7F ||
        (code < 0x20 && (!control || code == 8 || code == 9 || code == 13 || code == 27)))
        return false;
    input.character = static_cast<std::int32_t>(code);
    input.code = kKeyChar;
    return true;
}

std::intptr_t XWindowWin32::Message(std::uintptr_t target, unsigned message, std::uintptr_t wParam,
                                    std::intptr_t lParam, bool& handled)
{
    handled = false;
    if (menuWindow_ && target == menuWindow_) return MenuMessage(message, wParam, lParam, handled);
    if (target != window_) return 0;
    handled = true;
    HWND hwnd = Hwnd(window_);
    XInput input;
    if (MouseInput(message, wParam, lParam, scale_, input)) {
        if (message == WM_MOUSEMOVE && !trackingLeave_) {
            TRACKMOUSEEVENT track {sizeof track, TME_LEAVE, hwnd, 0};
            trackingLeave_ = TrackMouseEvent(&track) != 0;
        }
        Send(input);
        return 0;
    }
    switch (message) {
        case WM_PAINT:
            Paint(window_);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers everything
        case WM_TIMER:
            if (wParam != kTimerId) break;
            input.kind = XInput::kTimer;
            Send(input);
            return 0;
        case WM_MOVE:
            input.kind = XInput::kWindowMoved;
            input.x = GET_X_LPARAM(lParam);
            input.y = GET_Y_LPARAM(lParam);
            Send(input);
            return 0;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            input.kind = XInput::kMouseLeave;
            Send(input);
            return 0;
        case WM_CAPTURECHANGED:
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            // Screen coordinates here; a precise wheel sends parts of a notch.
            POINT point {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd, &point);
            const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
            // The wheel goes to the focus, not to the captured menu.
            if (menuWindow_ && message == WM_MOUSEWHEEL)
                return MenuMessage(message, wParam, lParam, handled);
            int& rest = message == WM_MOUSEWHEEL ? wheelRestY_ : wheelRestX_;
            rest += delta;
            const int notches = rest / WHEEL_DELTA;
            rest -= notches * WHEEL_DELTA;
            if (notches == 0) return 0;
            input.kind = XInput::kWheel;
            input.x = point.x / scale_;
            input.y = point.y / scale_;
            (message == WM_MOUSEWHEEL ? input.wheelY : input.wheelX) = notches;
            Send(input);
            return 0;
        }
        case WM_GETDLGCODE:
            // Arrows, tab and enter belong to the editor, not to the host's dialog navigation.
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
        case WM_KEYDOWN:
        case WM_CHAR:
            if (KeyInput(static_cast<std::uint32_t>(wParam), message == WM_CHAR, KeyModifiers(),
                         pendingHigh_, input)) {
                if (menus_.IsMenuOpen())
                    menus_.Input(input);
                else
                    Send(input);
            }
            return 0;
        case WM_SETFOCUS:
            input.kind = XInput::kFocusIn;
            Send(input);
            return 0;
        case WM_KILLFOCUS:
            input.kind = XInput::kFocusOut;
            Send(input);
            return 0;
        case WM_DESTROY:
            // The host destroyed its window with ours in it.
            menus_.CancelMenu();
            KillTimer(hwnd, kTimerId);
            alive_ = false;
            timerRunning_ = false;
            Log("XWindowWin32: the window was destroyed; the window is inert\r\n");
            return 0;
        default:
            break;
    }
    handled = false;
    return 0;
}

void XWindowWin32::StartTimer(int periodMs)
{
    if (!alive_) return;
    timerRunning_ =
        SetTimer(Hwnd(window_), kTimerId, static_cast<UINT>(std::max(periodMs, 10)), nullptr) != 0;
}

void XWindowWin32::StopTimer()
{
    if (alive_ && timerRunning_) KillTimer(Hwnd(window_), kTimerId);
    timerRunning_ = false;
}

void XWindowWin32::CaptureMouse()
{
    if (alive_) SetCapture(Hwnd(window_));
}

void XWindowWin32::ReleaseMouse()
{
    if (alive_ && GetCapture() == Hwnd(window_)) ReleaseCapture();
}

bool XWindowWin32::HasMouseCapture() const
{
    return alive_ && GetCapture() == Hwnd(window_);
}

void XWindowWin32::TakeKeyboardFocus()
{
    if (alive_) SetFocus(Hwnd(window_));
}

bool XWindowWin32::ScreenOrigin(int& x, int& y) const
{
    if (!alive_) return false;
    POINT point {0, 0};
    if (!ClientToScreen(Hwnd(window_), &point)) return false;
    x = point.x / scale_;
    y = point.y / scale_;
    return true;
}

void XWindowWin32::Paint(std::uintptr_t target)
{
    HWND hwnd = Hwnd(target);
    PAINTSTRUCT paint {};
    paintDc_ = reinterpret_cast<std::uintptr_t>(BeginPaint(hwnd, &paint));
    paintWindow_ = target;
    XInput input;
    input.kind = XInput::kPaint;
    if (target == window_)
        Send(input);
    else
        menus_.Input(input);
    paintWindow_ = paintDc_ = 0;
    EndPaint(hwnd, &paint);
}

void XWindowWin32::Put(const std::uint32_t* pixels, int width, int height, int x, int y)
{
    if (alive_) PutInto(window_, pixels, width, height, x, y);
}

void XWindowWin32::PutInto(std::uintptr_t target, const std::uint32_t* pixels, int width,
                           int height, int x, int y)
{
    if (!pixels || width <= 0 || height <= 0) return;
    HWND hwnd = Hwnd(target);
    const bool painting = paintDc_ && paintWindow_ == target;
    HDC dc = painting ? reinterpret_cast<HDC>(paintDc_) : GetDC(hwnd);
    if (!dc) return;
    // 0x00RRGGBB in memory is a 32-bit DIB's blue, green, red, unused; top-down rows.
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (scale_ == 1) {
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS);
    } else {
        // Whole pixels repeated, never blended: the skin stays sharp.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, x * scale_, y * scale_, width * scale_, height * scale_, 0, 0, width,
                      height, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    }
    if (!painting) ReleaseDC(hwnd, dc);
}

std::string XWindowWin32::ClipboardText()
{
    if (!alive_ || !IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
    if (!OpenClipboard(Hwnd(window_))) return {};
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            // The block may lack its terminator: never read past its size.
            const std::size_t units = GlobalSize(data) / sizeof(wchar_t);
            const std::wstring_view view(wide, wcsnlen(wide, units));
            text = platform::Narrow(view.substr(0, kMaxClipboardBytes));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void XWindowWin32::SetClipboardText(std::string_view text)
{
    if (!alive_) return;
    const std::wstring wide = platform::Widen(text.substr(0, kMaxClipboardBytes));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (!block) return;
    if (auto* out = static_cast<wchar_t*>(GlobalLock(block))) {
        std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
    }
    if (!OpenClipboard(Hwnd(window_))) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    // The clipboard owns the block once it is set.
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    CloseClipboard();
}

bool XWindowWin32::MenuArea(XRect& area)
{
    if (!alive_) return false;
    // The monitor the editor is on bounds the menu.
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(Hwnd(window_), MONITOR_DEFAULTTONEAREST), &monitor))
        return false;
    // The menu is laid out in the gui's pixels, its window in the screen's.
    const RECT work = monitor.rcWork;
    area = XRect::FromSize(work.left / scale_, work.top / scale_,
                           work.right / scale_ - work.left / scale_,
                           work.bottom / scale_ - work.top / scale_);
    return true;
}

bool XWindowWin32::OpenMenuWindow(int x, int y, int width, int height)
{
    constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
    constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    x *= scale_;
    y *= scale_;
    width *= scale_;
    height *= scale_;
    // Owned by the host's top-level window, never activated: the host keeps its title bar lit
    // and the editor its focus.
    HWND menu = CreateWindowExW(kExStyle, XWindowWin32Class::Name(), L"", kStyle, x, y, width,
                                height, GetAncestor(Hwnd(window_), GA_ROOT), nullptr,
                                XWindowWin32Class::Module(), this);
    if (!menu) {
        Log("XWindowWin32: cannot create the menu's window (error %lu)\r\n", GetLastError());
        return false;
    }
    menuWindow_ = reinterpret_cast<std::uintptr_t>(menu);
    // The border is outside the picture: the client area gets the menu's size.
    RECT frame {0, 0, width, height};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    SetWindowPos(menu, HWND_TOPMOST, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOACTIVATE);
    ShowWindow(menu, SW_SHOWNOACTIVATE);
    SetCapture(menu);
    return true;
}

void XWindowWin32::PutMenuPixels(const std::uint32_t* pixels, int width, int height)
{
    if (menuWindow_) PutInto(menuWindow_, pixels, width, height, 0, 0);
}

void XWindowWin32::CloseMenuWindow()
{
    // Forgotten first: releasing the capture and destroying the window send messages that must
    // not find the menu again.
    HWND menu = Hwnd(std::exchange(menuWindow_, 0));
    if (!menu) return;
    if (GetCapture() == menu) ReleaseCapture();
    DestroyWindow(menu);
}

std::intptr_t XWindowWin32::MenuMessage(unsigned message, std::uintptr_t wParam,
                                        std::intptr_t lParam, bool& handled)
{
    handled = true;
    XInput input;
    if (MouseInput(message, wParam, lParam, scale_, input)) {
        menus_.Input(input);
        return 0;
    }
    switch (message) {
        case WM_PAINT:
            Paint(menuWindow_);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (the user switched programs): the menu ends.
            if (static_cast<std::uintptr_t>(lParam) != menuWindow_) menus_.Dismiss();
            return 0;
        case WM_MOUSEWHEEL:
            input.kind = XInput::kWheel;
            input.wheelY = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1 : -1;
            menus_.Input(input);
            return 0;
        default:
            handled = false;
            return 0;
    }
}
