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
    stop_.store(true, std::memory_order_release);
    Join();
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
    folder_ = folder;
    stop_.store(false, std::memory_order_release);
    scanning_ = true;
    if (!Start(kScanCode, kPriorityNormal)) {
        scanning_ = false;
        return false;
    }
    ignore_->SetEnabled(false);
    scan_->SetEnabled(true);
    scan_->SetText(kCancelText);
    return true;
}

void WMissing::CancelScan()
{
    if (!scanning_) return;
    scan_->SetEnabled(false);
    stop_.store(true, std::memory_order_release);
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

void WMissing::HandleEvent(XEvent* event)
{
    if (event && event->code == kDoneEvent) FinishScan();
}

void WMissing::Tick(std::uint32_t)
{
    ApplyStatus();
    PollFolderDialog();
    // The scan posts 'done' as its last act; should that post have been lost (a full queue, a
    // scan that ended by an exception), the ended thread still finishes the scan.
    if (scanning_ && !IsRunning() && QueueEmpty()) FinishScan();
}

void WMissing::Run()
{
    struct Search : UFolderWalk::Visitor {
        explicit Search(WMissing& dialog) : dialog(dialog) {}
        void EnterFolder(const std::string& folder) override
        {
            dialog.PublishStatus(folder);
            if (dialog.observer_) dialog.observer_(folder);
        }
        void VisitFile(const std::string& folder, const std::string& name) override
        {
            if (dialog.missing_.Offer(folder, name) && dialog.missing_.AllFound())
                dialog.stop_.store(true, std::memory_order_release);
        }
        WMissing& dialog;
    };

    if (!missing_.AllFound()) {
        Search search(*this);
        UFolderWalk::Walk(folder_, stop_, search);
    }
    Post(kDoneEvent);
}

void WMissing::PublishStatus(const std::string& folder)
{
    {
        std::lock_guard lock(statusMutex_);
        statusText_ = folder;
    }
    statusChanged_.store(true, std::memory_order_release);
}

void WMissing::ApplyStatus()
{
    if (!statusChanged_.exchange(false, std::memory_order_acq_rel)) return;
    std::string text;
    {
        std::lock_guard lock(statusMutex_);
        text = statusText_;
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
    if (!scanning_) return;
    // The thread has posted its last word; joining makes its results ours.
    Join();
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
