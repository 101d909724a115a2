#include "editor/WMissing.h"

#include <utility>

#include "editor/UFolderWalk.h"
#include "gui/XButton.h"
#include "gui/XLabel.h"
#include "gui/XList.h"
#include "gui/XScrollBar.h"
#include "gui/XViewPort.h"

namespace {

constexpr std::string_view kScanText = "Select folder to scan";
constexpr std::string_view kCancelText = "Cancel";
constexpr XColor kWell(25, 30, 40);
constexpr int kButtonWidth = 130;
constexpr int kButtonHeight = 22;
constexpr int kButtonsFromBottom = 30;

}  // namespace

WMissing::WMissing() : XView(0, 0, kWidth, kHeight)
{
    // 14 high (to the list's top) rather than 12: the label clips, and 12 would cut the
    // descenders of the 11-pixel font.
    auto* title = Add<XLabel>(2, 2, 630, 14, "Missing files:");
    title->SetColor(2, XColor(255, 240, 140));

    port_ = Add<XViewPort>(10, 16, 620, 116);
    port_->SetColor(0, kWell);
    port_->SetColor(3, kWell);
    auto list = std::make_unique<XList>(0, 0, 620, 140);
    list->SetColor(0, kWell);
    list->SetColor(3, kWell);
    list->SetColor(2, XColor(250, 250, 240));
    list_ = port_->Attach(std::move(list), false, true);
    if (XScrollBar* bar = port_->VerticalBar()) bar->SetColor(1, XColor(70, 78, 96));

    status_ = Add<XLabel>(10, 130, 620, 15);
    status_->SetColor(0, kWell);
    status_->SetColor(2, XColor(200, 255, 200));

    // Counted from the right and bottom edges.
    scan_ = Add<XButton>(-140, -kButtonsFromBottom, kButtonWidth, kButtonHeight, kScanText);
    ignore_ = Add<XButton>(-280, -kButtonsFromBottom, kButtonWidth, kButtonHeight,
                           "Ignore Missing files");
    scan_->AddListener(this);
    ignore_->AddListener(this);
}

WMissing::~WMissing()
{
    // The scan's job waits for it a moment as it goes, then leaves it be.
    if (progress_) progress_->stop.store(true, std::memory_order_release);
}

bool WMissing::AddMissing(std::string_view path)
{
    if (scanning_ || !missing_.Add(path)) return false;
    list_->AddItem(path);
    return true;
}

std::optional<std::string> WMissing::FoundPathFor(std::string_view path) const
{
    if (scanning_) return std::nullopt;
    return missing_.FoundPathFor(path);
}

std::size_t WMissing::FoundCount() const
{
    return scanning_ ? 0 : missing_.FoundCount();
}

bool WMissing::ScanFolder(std::string_view folder)
{
    if (scanning_ || folder.empty()) return false;
    auto progress = std::make_shared<Progress>();
    const bool started = scanJob_.Start(
        [progress, root = std::string(folder), observer = observer_, missing = missing_]() mutable {
            Walk(root, observer, missing, *progress);
            return missing;
        });
    if (!started) return false;
    progress_ = std::move(progress);
    scanning_ = true;
    ignore_->SetEnabled(false);
    scan_->SetEnabled(true);
    scan_->SetText(kCancelText);
    return true;
}

void WMissing::CancelScan()
{
    if (!scanning_) return;
    scan_->SetEnabled(false);
    progress_->stop.store(true, std::memory_order_release);
}

void WMissing::ButtonClicked(XButton* sender, std::int32_t)
{
    if (sender == ignore_) {
        Close(0);
    } else if (sender == scan_) {
        if (scanning_) {
            CancelScan();
        } else if (!choosing_) {
            folderDialog_.SetOwner(this);
            choosing_ = folderDialog_.ChooseFolder("Select a folder");
        }
    }
}

void WMissing::Tick(std::uint32_t)
{
    ApplyStatus();
    PollFolderDialog();
    FinishScan();
}

void WMissing::Walk(const std::string& folder,
                    const std::function<void(const std::string&)>& observer, UMissingList& missing,
                    Progress& progress)
{
    struct Search : UFolderWalk::Visitor {
        Search(const std::function<void(const std::string&)>& observer, UMissingList& missing,
               Progress& progress)
            : observer(observer), missing(missing), progress(progress)
        {
        }
        void EnterFolder(const std::string& folder) override
        {
            {
                std::lock_guard lock(progress.mutex);
                progress.folder = folder;
            }
            progress.changed.store(true, std::memory_order_release);
            if (observer) observer(folder);
        }
        void VisitFile(const std::string& folder, const std::string& name) override
        {
            if (missing.Offer(folder, name) && missing.AllFound())
                progress.stop.store(true, std::memory_order_release);
        }
        const std::function<void(const std::string&)>& observer;
        UMissingList& missing;
        Progress& progress;
    };

    if (missing.AllFound()) return;
    Search search(observer, missing, progress);
    UFolderWalk::Walk(folder, progress.stop, search);
}

void WMissing::ApplyStatus()
{
    if (!progress_ || !progress_->changed.exchange(false, std::memory_order_acq_rel)) return;
    std::string text;
    {
        std::lock_guard lock(progress_->mutex);
        text = progress_->folder;
    }
    status_->SetText(text);
}

void WMissing::PollFolderDialog()
{
    if (!choosing_) return;
    const UFileNav::State state = folderDialog_.Poll();
    if (state == UFileNav::State::kOpen) return;
    choosing_ = false;
    if (state == UFileNav::State::kChosen) ScanFolder(folderDialog_.Path());
}

void WMissing::FinishScan()
{
    if (!scanning_ || !scanJob_.Done()) return;
    missing_ = scanJob_.Take();
    scanning_ = false;
    ApplyStatus();
    if (missing_.AllFound()) {
        Close(1);
        return;
    }
    // A cancelled scan leaves the scan button usable too, so another folder can be tried.
    scan_->SetEnabled(true);
    scan_->SetText(kScanText);
    ignore_->SetEnabled(true);
}
