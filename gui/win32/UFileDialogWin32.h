// The system's own file dialogs on Windows (GetOpenFileNameW, GetSaveFileNameW,
// SHBrowseForFolderW), each run on a thread of its own, so that UFileNav keeps the shape it has
// with the desktop's dialog programs: start, poll on the editor's ticks, cancel. A modal dialog on
// the host's GUI thread would run a message loop inside our button handler, where the host may
// close the editor (and destroy what the dialog's caller stands on) before the call returns.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class UFileDialogWin32 {
public:
    enum class Kind { kOpen, kSave, kFolder };
    static constexpr std::size_t kMaxChars = 1 << 16;  // the answer's buffer, in UTF-16 units

    // Filters are (label, extension without its dot).
    UFileDialogWin32(Kind kind, std::string title,
                     std::vector<std::pair<std::string, std::string>> filters);
    // Cancels the dialog when it is still open and waits for its thread.
    ~UFileDialogWin32();
    UFileDialogWin32(const UFileDialogWin32&) = delete;
    UFileDialogWin32& operator=(const UFileDialogWin32&) = delete;

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // After Done: the chosen absolute paths (UTF-8), empty when cancelled.
    const std::vector<std::string>& Paths() const { return paths_; }
    void Cancel();
    // The dialog's window (an HWND), told by the dialog's hook on its thread.
    void Opened(void* dialog);

private:
    void Run();

    Kind kind_;
    std::string title_;
    std::vector<std::pair<std::string, std::string>> filters_;
    std::vector<std::string> paths_;
    std::mutex mutex_;  // dialog_ and cancelled_
    void* dialog_ = nullptr;
    bool cancelled_ = false;
    std::atomic<bool> done_ {false};
    std::thread thread_;
};
