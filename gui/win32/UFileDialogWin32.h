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

#include "gui/USystemDialog.h"

class UFileDialogWin32 : public USystemDialog {
public:
    static constexpr std::size_t kMaxChars = 1 << 16;  // the answer's buffer, in UTF-16 units

    UFileDialogWin32(Kind kind, std::string title, Filters filters);
    // Cancels the dialog when it is still open and waits for its thread.
    ~UFileDialogWin32() override;

    bool Done() const override { return done_.load(std::memory_order_acquire); }
    const std::vector<std::string>& Paths() const override { return paths_; }
    void Cancel();
    // The dialog's window (an HWND), told by the dialog's hook on its thread.
    void Opened(void* dialog);

private:
    void Run();

    Kind kind_;
    std::string title_;
    Filters filters_;
    std::vector<std::string> paths_;
    std::mutex mutex_;  // dialog_ and cancelled_
    void* dialog_ = nullptr;
    bool cancelled_ = false;
    std::atomic<bool> done_ {false};
    std::thread thread_;
};
