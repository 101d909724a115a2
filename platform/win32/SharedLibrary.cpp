#include "platform/SharedLibrary.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace platform {

namespace {

// The system's text for the last error. Some texts name the file as "%1" ("Bad EXE format for
// %1."); inserts are not filled in, which could read past the arguments, so the path is put in
// its place here.
std::string LastErrorText(const std::string& path)
{
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    if (message.empty()) return "error " + std::to_string(code);
    std::string named = Narrow(message);
    for (auto at = named.find("%1"); at != std::string::npos;
         at = named.find("%1", at + path.size()))
        named.replace(at, 2, path);
    return named;
}

}  // namespace

SharedLibrary::~SharedLibrary()
{
    FreeLibrary(static_cast<HMODULE>(handle_));
}

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string& error)
{
    // The full path, so that the library's own folder is searched for what it needs and a
    // bare name means this folder, not the system's.
    const std::wstring wide = Widen(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size ? GetFullPathNameW(wide.c_str(), size, full.data(), nullptr) : 0;
    if (length == 0 || length >= size) {
        error = path + ": " + LastErrorText(path);
        return nullptr;
    }
    full.resize(length);
    const HMODULE module = LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        error = path + ": " + LastErrorText(path);
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(module));
}

void* SharedLibrary::Symbol(const char* name) const
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace platform
