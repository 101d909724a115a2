#include "tools/marlet-host/Win32WindowSystem.h"

#include <windows.h>

#include <string>

#include "tools/marlet-host/Win32EditorWindow.h"
#include "tools/marlet-host/Win32Input.h"

std::unique_ptr<WindowSystem> WindowSystem::Open(std::string_view, std::string& error)
{
    // A window that cannot be made now (no desktop: Wine without a display) would fail only
    // once the plug-in is loaded; this one tells at once.
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!probe) {
        const DWORD code = GetLastError();
        error = "cannot create windows: no desktop (under Wine: no display?)";
        if (code) error += " (error " + std::to_string(code) + ")";
        return nullptr;
    }
    DestroyWindow(probe);
    return std::make_unique<Win32WindowSystem>();
}

std::unique_ptr<EditorWindow> Win32WindowSystem::MakeWindow(int width, int height,
                                                            std::string_view title)
{
    return std::make_unique<Win32EditorWindow>(width, height, title);
}

std::unique_ptr<InputSink> Win32WindowSystem::MakeInput()
{
    return std::make_unique<Win32Input>();
}
