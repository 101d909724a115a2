#include "gui/win32/UFileDialogWin32.h"

#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <shlobj.h>

#include "platform/win32/WideText.h"

namespace {

UINT_PTR CALLBACK FileHook(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
        // An Explorer-style hook's window is a child of the dialog.
        reinterpret_cast<UFileDialogWin32*>(ofn->lCustData)->Opened(GetParent(hook));
    }
    return 0;
}

int CALLBACK FolderHook(HWND dialog, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED) reinterpret_cast<UFileDialogWin32*>(data)->Opened(dialog);
    return 0;
}

}  // namespace

std::unique_ptr<USystemDialog> USystemDialog::Make(Kind kind, std::string title, Filters filters)
{
    return std::make_unique<UFileDialogWin32>(kind, std::move(title), std::move(filters));
}

UFileDialogWin32::UFileDialogWin32(Kind kind, std::string title, Filters filters)
    : kind_(kind), title_(std::move(title)), filters_(std::move(filters))
{
    thread_ = std::thread([this] { Run(); });
}

UFileDialogWin32::~UFileDialogWin32()
{
    Cancel();
    if (thread_.joinable()) thread_.join();
}

void UFileDialogWin32::Opened(void* dialog)
{
    std::lock_guard lock(mutex_);
    dialog_ = dialog;
    if (cancelled_) PostMessageW(static_cast<HWND>(dialog), WM_COMMAND, IDCANCEL, 0);
}

void UFileDialogWin32::Cancel()
{
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (dialog_ && !Done()) PostMessageW(static_cast<HWND>(dialog_), WM_COMMAND, IDCANCEL, 0);
}

void UFileDialogWin32::Run()
{
    // The folder chooser is COM; the apartment is this thread's alone.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring title = platform::Widen(title_);
    if (kind_ == Kind::kFolder) {
        BROWSEINFOW info {};
        info.lpszTitle = title.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        info.lpfn = FolderHook;
        info.lParam = reinterpret_cast<LPARAM>(this);
        if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info)) {
            std::wstring path(MAX_PATH * 4, L'\0');
            if (SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), 0))
                paths_.push_back(platform::Narrow(path.c_str()));
            CoTaskMemFree(chosen);
        }
    } else {
        // "Label\0*.ext\0" pairs, ended by one more terminator.
        std::wstring filter;
        for (const auto& [label, extension] : filters_) {
            filter += platform::Widen(label);
            filter += L'\0';
            filter += L"*." + platform::Widen(extension);
            filter += L'\0';
        }
        filter += L'\0';
        const std::wstring extension =
            filters_.empty() ? std::wstring() : platform::Widen(filters_.front().second);
        std::wstring buffer(kMaxChars, L'\0');
        OPENFILENAMEW ofn {};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = filters_.empty() ? nullptr : filter.c_str();
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrTitle = title.c_str();
        ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        ofn.Flags =
            OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
        ofn.lpfnHook = FileHook;
        ofn.lCustData = reinterpret_cast<LPARAM>(this);
        if (kind_ == Kind::kOpen) {
            ofn.Flags |= OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
            if (GetOpenFileNameW(&ofn)) {
                // One full path, or the folder followed by the names, each ended by a null.
                const wchar_t* at = buffer.c_str();
                const std::wstring first = at;
                at += first.size() + 1;
                if (*at == L'\0') {
                    paths_.push_back(platform::Narrow(first));
                } else {
                    const std::string folder = platform::Narrow(first);
                    for (; *at != L'\0'; at += wcslen(at) + 1) {
                        std::string path = folder;
                        if (!path.empty() && path.back() != '\\') path += '\\';
                        paths_.push_back(path + platform::Narrow(at));
                    }
                }
            }
        } else {
            ofn.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
            if (GetSaveFileNameW(&ofn)) paths_.push_back(platform::Narrow(buffer.c_str()));
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    std::lock_guard lock(mutex_);
    dialog_ = nullptr;
    done_.store(true, std::memory_order_release);
}
