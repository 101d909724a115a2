#include "tools/marlet-host/Win32EditorWindow.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "platform/win32/WideText.h"

namespace {

// A fixed size: VST 2 editors do not follow their window.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

HWND Hwnd(std::uintptr_t handle)
{
    return reinterpret_cast<HWND>(handle);
}

// The outer size whose client area is width x height.
SIZE OuterSize(int width, int height)
{
    RECT rect {0, 0, width, height};
    AdjustWindowRect(&rect, kStyle, FALSE);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

std::string LastError()
{
    return "error " + std::to_string(GetLastError());
}

}  // namespace

struct Win32EditorWindowClass {
    static constexpr const wchar_t* kName = L"MarletHostEditorWindow";

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* window = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        // The user's close ends the open; the window is destroyed with its object, after
        // effEditClose, so the editor never finds its parent gone.
        if (message == WM_CLOSE && window) {
            window->closeAsked_ = true;
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    // Once for the process: the host's windows come and go with each open.
    static void Register()
    {
        static const bool registered = [] {
            WNDCLASSEXW windowClass {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            windowClass.lpszClassName = kName;
            return RegisterClassExW(&windowClass) != 0 ||
                   GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        }();
        if (!registered)
            throw std::runtime_error("cannot register the editor window's class (" + LastError() +
                                     ")");
    }
};

Win32EditorWindow::Win32EditorWindow(int width, int height, std::string_view title)
    : width_(width), height_(height)
{
    Win32EditorWindowClass::Register();
    const SIZE outer = OuterSize(width, height);
    // At the screen's corner, so that the snapshot finds all of it on the screen.
    HWND hwnd =
        CreateWindowExW(0, Win32EditorWindowClass::kName, platform::Widen(title).c_str(), kStyle, 0,
                        0, outer.cx, outer.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd)
        throw std::runtime_error("cannot create the editor window (" + LastError() +
                                 "; is there a display?)");
    window_ = reinterpret_cast<std::uintptr_t>(hwnd);
}

Win32EditorWindow::~Win32EditorWindow()
{
    HWND hwnd = Hwnd(window_);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

void Win32EditorWindow::Resize(int width, int height)
{
    width_ = width;
    height_ = height;
    const SIZE outer = OuterSize(width, height);
    SetWindowPos(Hwnd(window_), nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32EditorWindow::Show()
{
    HWND hwnd = Hwnd(window_);
    // Shown at once; in front, so that scripted keys reach the editor's focus.
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
    Pump();
}

bool Win32EditorWindow::Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Keys become characters here, as in every host's message loop.
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return !closeAsked_;
}

EditorWindow::Picture Win32EditorWindow::Snapshot() const
{
    HWND hwnd = Hwnd(window_);
    // What is not on the screen has no pixels to read.
    POINT origin {0, 0};
    ClientToScreen(hwnd, &origin);
    const int screenRight =
        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenBottom =
        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int w = std::min(width_, static_cast<int>(screenRight - origin.x));
    const int h = std::min(height_, static_cast<int>(screenBottom - origin.y));
    if (w <= 0 || h <= 0 || origin.x < GetSystemMetrics(SM_XVIRTUALSCREEN) ||
        origin.y < GetSystemMetrics(SM_YVIRTUALSCREEN))
        throw std::runtime_error("the editor window is not on the screen");
    // Paint what is still pending, the editor's child window included.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

    const auto releaseDc = [hwnd](HDC dc) { ReleaseDC(hwnd, dc); };
    const std::unique_ptr<std::remove_pointer_t<HDC>, decltype(releaseDc)> source(GetDC(hwnd),
                                                                                  releaseDc);
    const std::unique_ptr<std::remove_pointer_t<HDC>, decltype(&DeleteDC)> memory(
        CreateCompatibleDC(source.get()), &DeleteDC);
    if (!source || !memory)
        throw std::runtime_error("cannot read the editor window's pixels (" + LastError() + ")");
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const auto deleteObject = [](HBITMAP bitmap) { DeleteObject(bitmap); };
    const std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(deleteObject)> dib(
        CreateDIBSection(source.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0), deleteObject);
    if (!dib || !bits)
        throw std::runtime_error("cannot make a bitmap for the editor's pixels (" + LastError() +
                                 ")");
    const HGDIOBJ previous = SelectObject(memory.get(), dib.get());
    const bool copied = BitBlt(memory.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory.get(), previous);
    if (!copied)
        throw std::runtime_error("cannot read the editor window's pixels (" + LastError() + ")");

    Picture picture {w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 3)};
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
        // BGRX in memory.
        picture.rgb[i * 3] = pixels[i * 4 + 2];
        picture.rgb[i * 3 + 1] = pixels[i * 4 + 1];
        picture.rgb[i * 3 + 2] = pixels[i * 4];
    }
    return picture;
}
