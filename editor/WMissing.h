// Lists the instrument files a performance could not find and searches a folder tree for files
// of the same names on a thread of its own. The user picks the folder; "Cancel" (the scan
// button's text while a search runs) ends the search at the next entry. The dialog closes with
// 1 once every listed file was found, with 0 on "Ignore Missing files".
//
// Sharing with the scan thread: the thread gets a copy of the list of missing files and the
// folder, and the tick takes the list back once the scan is done (UBackgroundJob); the stop
// flag and the folder being scanned (a mutex-guarded text with an atomic "changed" flag, which
// the tick applies to the status label) live apart from the dialog, with the thread. No control
// is touched off the GUI thread, and nothing of the dialog: a dialog closed while a folder does
// not answer (a drive that is gone) waits a moment, then leaves the scan to end on its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "editor/UMissingList.h"
#include "gui/UFileNav.h"
#include "gui/XListener.h"
#include "gui/XView.h"
#include "platform/UBackgroundJob.h"

class XButton;
class XLabel;
class XList;
class XViewPort;

class WMissing : public XView, public XListener {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 184;

    WMissing();
    // Stops a running scan and waits a moment for its thread (see above).
    ~WMissing() override;

    // Lists the path unless exactly the same bytes are listed already. Refused while a scan
    // runs. True when it was added.
    bool AddMissing(std::string_view path);
    std::size_t MissingCount() const { return missing_.Count(); }
    // Where the listed path was found; none when it was not (or is not listed). A running scan
    // owns the results: until its 'done' is handled the answer is none and the count 0.
    std::optional<std::string> FoundPathFor(std::string_view path) const;
    std::size_t FoundCount() const;

    // Starts the search of a folder tree (what the scan button does once the folder dialog has
    // answered). False while a scan runs, for an empty path, or when the thread cannot start.
    bool ScanFolder(std::string_view folder);
    bool IsScanning() const { return scanning_; }
    // Asks a running scan to stop; 'done' follows as usual.
    void CancelScan();
    // Called on the scan thread as each folder is entered (progress elsewhere, tests). Set it
    // while no scan runs.
    void SetScanObserver(std::function<void(const std::string& folder)> observer)
    {
        if (!scanning_) observer_ = std::move(observer);
    }

    XLabel* Status() const { return status_; }
    XList* List() const { return list_; }
    XViewPort* Port() const { return port_; }
    XButton* ScanButton() const { return scan_; }
    XButton* IgnoreButton() const { return ignore_; }

    void ButtonClicked(XButton* sender, std::int32_t code) override;
    void Tick(std::uint32_t tick) override;

private:
    // What the scan thread shares with the dialog while it runs.
    struct Progress {
        std::atomic<bool> stop {false};
        std::mutex mutex;
        std::string folder;  // the folder being listed, under the mutex
        std::atomic<bool> changed {false};
    };
    // The scan thread's work: walks `folder` until every file in `missing` is found or `stop`.
    static void Walk(const std::string& folder,
                     const std::function<void(const std::string&)>& observer, UMissingList& missing,
                     Progress& progress);

    void ApplyStatus();
    void PollFolderDialog();
    void FinishScan();

    std::function<void(const std::string&)> observer_;
    UMissingList missing_;   // GUI thread; a running scan works on a copy
    bool scanning_ = false;  // GUI thread: from ScanFolder until its end is handled
    bool choosing_ = false;  // GUI thread: the folder dialog is open
    std::shared_ptr<Progress> progress_;
    UBackgroundJob<UMissingList> scanJob_;

    UFileNav folderDialog_;
    XViewPort* port_ = nullptr;
    XList* list_ = nullptr;
    XLabel* status_ = nullptr;
    XButton* scan_ = nullptr;
    XButton* ignore_ = nullptr;
};
