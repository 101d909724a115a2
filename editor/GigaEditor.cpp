#include "editor/GigaEditor.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "editor/EditorCodes.h"
#include "editor/GigaEditorLayout.h"
#include "editor/GigaView.h"
#include "editor/WMissing.h"
#include "editor/WSettings.h"
#include "editor/WStackEdit.h"
#include "editor/XToneRack.h"
#include "editor/XViewNav.h"
#include "engine/GigaToneEdit.h"
#include "giga/GigaPlayer.h"
#include "gui/XButton.h"
#include "gui/XCodes.h"
#include "gui/XKeyboard.h"
#include "gui/XLogo.h"
#include "gui/XPane.h"
#include "gui/XProgress.h"
#include "gui/XViewPort.h"
#include "platform/Platform.h"
#include "player/KyIdentity.h"
#include "prefs/GigaPrefs.h"

namespace {

constexpr const char* kToolPictures[GigaEditor::kTools] = {
    "tb_new.png",   "tb_open.png",     "tb_save.png",   "tb_saveas.png", "tb_browse.png",
    "tb_stack.png", "tb_settings.png", "tb_expand.png", "tb_reset.png"};
namespace el = editorlayout;
// The memory meter follows the loader about once a second.
constexpr std::uint32_t kMeterTicks = 20;

// The keyboard's pane passes the keyboard's notes on to the editor.
class KeyPane : public XPane {
public:
    using XPane::XPane;
    void Command(std::int32_t code, std::int32_t a, std::int32_t b) override
    {
        if (XControl* parent = Parent()) parent->Command(code, a, b);
    }
};

bool IsToggle(int tool)
{
    return tool == GigaEditor::kBrowse || tool == GigaEditor::kStack || tool == GigaEditor::kExpand;
}

}  // namespace

GigaEditor::GigaEditor(GigaPlayer& player) : XView(0, 0, kWidth, kHeight), player_(player)
{
    SetTitle(KyIdentity::kProduct);
    SetColor(0, XColor(0, 0, 0));
    BuildToolbar();
    BuildRack();
    BuildKeyboard();
    browser_ = Add<XViewNav>(0, kBrowserY, kWidth, kBrowserHeight);
    browser_->Hide();
    browser_->AddListener(this);
    UpdateMemoryMeter();
    for (int i = 0; i < ViewCount(); ++i)
        if (View(i)->Tone().Status() == GigaToneEdit::kLoaded) View(i)->Refresh();
    fileNav_.SetOwner(this);
    fileNav_.AddFilter(kPerformanceFilter, kPerformanceExtension);
    player_.SetEditor(this);
    XEventQueue::Post(4, 0, 0);
}

GigaEditor::~GigaEditor()
{
    Detach();
}

void GigaEditor::Detach()
{
    if (detached_) return;
    detached_ = true;
    // No post and no tone notification reaches this editor after these return.
    if (player_.Editor() == this) player_.SetEditor(nullptr);
    fileNav_.Cancel();
    if (browsing_) browser_->SaveFavorites();
    for (int i = 0; i < ViewCount(); ++i) View(i)->Tone().SetView(nullptr);
}

void GigaEditor::BuildToolbar()
{
    toolbar_ = Add<XPane>(0, 0, kWidth, kToolbarHeight);
    toolbar_->SetPicture("tb_back.png");
    toolbar_->SetSize(kWidth, kToolbarHeight);
    for (int i = 0; i < kTools; ++i) {
        XButton* button = toolbar_->Add<XButton>(el::kButtonX0 + el::kButtonPitch * i, el::kButtonY,
                                                 el::kButtonWidth, el::kButtonHeight);
        button->SetPicture(kToolPictures[i]);
        button->SetSize(el::kButtonWidth, el::kButtonHeight);
        button->SetToggleMode(IsToggle(i));
        button->SetTag(i);
        button->AddListener(this);
        tools_[static_cast<std::size_t>(i)] = button;
    }
    logo_ = toolbar_->Add<XLogo>(-el::kLogoFromRight, el::kLogoY);
    logo_->AddListener(this);
    meter_ = Add<XProgress>(0, kToolbarHeight, kWidth, kMeterHeight);
    meter_->SetColor(0, XColor(20, 20, 24));
    meter_->SetColor(1, XColor(60, 60, 120));
}

void GigaEditor::BuildRack()
{
    port_ = Add<XViewPort>(0, kToolbarHeight + kMeterHeight, kWidth, kPortHeight);
    port_->SetColor(0, XColor(0, 0, 0));
    rack_ = port_->Attach(std::make_unique<XToneRack>(0, 0, kRackWidth), false, true);
    for (int i = 0; i < player_.ToneCount(); ++i) {
        GigaToneEdit* tone = player_.ToneEdit(i);
        if (!tone || tone->TypeCode() != GigaToneEdit::kTypeCode) continue;
        GigaView* view = rack_->AddView(std::make_unique<GigaView>(*this, *tone));
        view->AddListener(this);
    }
    rack_->Layout();
    port_->Layout();
    if (ViewCount() > 0) View(0)->SetHighlight(1);
}

void GigaEditor::BuildKeyboard()
{
    keyPane_ = Add<KeyPane>(0, -kKeyPaneHeight, kWidth, kKeyPaneHeight);
    keyPane_->SetPicture("key_pane.png");
    keyPane_->SetSize(kWidth, kKeyPaneHeight);
    keyboard_ = keyPane_->Add<XKeyboard>(el::kKeyPaneKeyboardX, el::kKeyPaneKeyboardY,
                                         XKeyboard::kPictureWidth, XKeyboard::kPictureHeight);
    UpdateKeyboardMarks();
}

int GigaEditor::ViewCount() const
{
    return rack_ ? rack_->ViewCount() : 0;
}

GigaView* GigaEditor::View(int index) const
{
    return rack_ ? rack_->View(index) : nullptr;
}

int GigaEditor::IndexOf(const GigaView* view) const
{
    for (int i = 0; i < ViewCount(); ++i)
        if (View(i) == view) return i;
    return -1;
}

bool GigaEditor::Post(const KyEditorEvent& event)
{
    if (event.code == KyEditorEvent::kToneLoadDone) {
        // Coalesced: one waiting event carries every result since the last tick.
        if (event.value == 0) loadFailed_.store(true, std::memory_order_relaxed);
        if (loadDonePending_.exchange(true, std::memory_order_acq_rel)) return true;
        if (XEventQueue::Post(XEvent {event.code, event.value, event.extra})) return true;
        loadDonePending_.store(false, std::memory_order_release);
        return false;
    }
    return XEventQueue::Post(XEvent {event.code, event.value, event.extra});
}

void GigaEditor::Tick(std::uint32_t tick)
{
    for (int i = 0; i < ViewCount(); ++i) View(i)->Tick();
    browser_->Poll();
    UpdateKeyboardMarks();
    if (dialog_ != Dialog::kNone) PollFileDialog();
    if (opening_.Done()) FinishOpen();
    if (tick % kMeterTicks == 0) UpdateMemoryMeter();
}

void GigaEditor::UpdateMemoryMeter()
{
    const GigaPrefs& prefs = GigaPrefs::Instance();
    const std::int64_t available = prefs.AvailableMemoryMb();
    meter_->SetValue(available > 0 ? static_cast<float>(prefs.ReservedMemoryMb()) /
                                         static_cast<float>(available)
                                   : 0.0f);
}

void GigaEditor::UpdateKeyboardMarks()
{
    // The whole keyboard plays until the selected tone's instrument is there.
    std::array<int, 4> marks = {XKeyboard::kFirstNote, XKeyboard::kLastNote, 0, -1};
    if (GigaView* view = View(selected_)) {
        const GigaToneEdit& tone = view->Tone();
        const int status = tone.Status();
        if (tone.LayerCount() > 0 &&
            (status == GigaToneEdit::kLoaded || status == GigaToneEdit::kLoadedAndShown))
            marks = {tone.LowestKey(), tone.HighestKey(), tone.KeySwitchLow(),
                     tone.KeySwitchHigh()};
    }
    if (marks == marks_) return;
    marks_ = marks;
    keyboard_->SetRanges(marks[0], marks[1], marks[2], marks[3]);
}

void GigaEditor::SelectTone(int index)
{
    GigaView* view = View(index);
    if (!view) return;
    if (GigaView* previous = View(selected_); previous && previous != view)
        previous->SetHighlight(0);
    view->SetHighlight(1);
    selected_ = index;
    UpdateKeyboardMarks();
}

// --- Toolbar

void GigaEditor::ButtonClicked(XButton* sender, std::int32_t code)
{
    if (sender == logo_) {
        // Shift-click switches the rack's debug file on the desktop; a plain click opens the
        // maker's page.
        if (Mouse().shift) {
            const bool open = player_.ToggleLog();
            Log("GigaEditor: debug log %s", open ? "on" : "off");
            ShowMessage(open ? "The debug log marlet.log is being written on your desktop."
                             : "The debug log is off.");
        } else {
            platform::OpenWebPage(kWebPage);
        }
        return;
    }
    switch (sender->Tag()) {
        case kNew:
            NewCommand();
            break;
        case kOpen:
            OpenCommand();
            break;
        case kSave:
            SaveCommand();
            break;
        case kSaveAs:
            SaveAsCommand();
            break;
        case kBrowse:
            SetBrowsing(sender->IsDown());
            break;
        case kStack:
            SetStackMode(sender->IsDown());
            break;
        case kSettings:
            ShowPopup(std::make_unique<WSettings>(GigaPrefs::Instance()), editorcode::kSettings);
            sender->SetDown(false);
            break;
        case kExpand:
            SetExpandAll(sender->IsDown());
            break;
        case kReset:
            ResetCommand();
            break;
        default:
            break;
    }
}

// --- Notifications from the views and the keyboard

void GigaEditor::Notify(XControl* sender, std::int32_t code)
{
    if (sender == browser_) {
        if (code == editorcode::kInstrumentChosen) BrowserChose();
        return;
    }
    auto* view = dynamic_cast<GigaView*>(sender);
    if (!view) return;
    switch (code) {
        case editorcode::kSelectView:
            SelectTone(IndexOf(view));
            break;
        case editorcode::kEditStack:
            ShowPopup(std::make_unique<WStackEdit>(*this, view->Tone()), editorcode::kStackEditor);
            break;
        case editorcode::kLoad:
            RequestLoading();
            break;
        case editorcode::kMute:
            ResolveMute(view);
            break;
        case editorcode::kBrowse:
            SetBrowsing(!browsing_);
            break;
        default:
            break;
    }
}

void GigaEditor::BrowserChose()
{
    std::string path;
    int program = 0;
    if (!browser_->ChosenInstrument(path, program)) return;
    GigaView* target = nullptr;
    if (stackMode_) {
        target = View(selected_);
    } else {
        for (int i = 0; i < ViewCount() && !target; ++i)
            if (View(i)->Tone().LayerCount() == 0) target = View(i);
    }
    if (target) target->LoadIntoView(path, program);
}

void GigaEditor::Command(std::int32_t code, std::int32_t a, std::int32_t b)
{
    if (code != xcode::kKeyboardNote) return;
    GigaView* view = View(selected_);
    if (!view) return;
    if (b > 0)
        view->Tone().KeyboardNoteOn(a, b);
    else
        view->Tone().KeyboardNoteOff(a);
}

void GigaEditor::RefreshViews()
{
    for (int i = 0; i < ViewCount(); ++i) View(i)->Refresh();
}

// --- Events and popups

void GigaEditor::HandleEvent(XEvent* event)
{
    if (event->code != KyEditorEvent::kToneLoadDone) return;
    loadDonePending_.store(false, std::memory_order_release);
    const bool failed = loadFailed_.exchange(false, std::memory_order_acq_rel);
    UpdateMemoryMeter();
    UpdateKeyboardMarks();
    if (failed) ShowMissingFiles();
}

void GigaEditor::ShowMissingFiles()
{
    auto dialog = std::make_unique<WMissing>();
    int missing = 0;
    for (int i = 0; i < ViewCount(); ++i) {
        View(i)->Tone().EditLayers([&](int, GigaPart& layer) {
            if (layer.state != GigaPart::kFileNotFound) return;
            dialog->AddMissing(layer.bankPath);
            ++missing;
        });
    }
    // A failure with every file present (a damaged file, too little memory) has nothing to
    // relink; the tone views show it.
    if (missing > 0) ShowPopup(std::move(dialog), editorcode::kMissingFiles);
}

void GigaEditor::ApplyMissingResult(XView& popup, std::int32_t result)
{
    auto& dialog = static_cast<WMissing&>(popup);
    for (int i = 0; i < ViewCount(); ++i) {
        GigaToneEdit& tone = View(i)->Tone();
        bool changed = false;
        tone.EditLayers([&](int, GigaPart& layer) {
            if (layer.state != GigaPart::kFileNotFound) return;
            if (result == 0) {
                layer.state = GigaPart::kToBeRemoved;
                changed = true;
            } else if (const auto found = dialog.FoundPathFor(layer.bankPath)) {
                layer.bankPath = *found;
                layer.state = GigaPart::kLoadRequested;
                changed = true;
            }
        });
        if (changed) tone.SetStatus(GigaToneEdit::kLoadRequested);
    }
    RequestLoading();
}

void GigaEditor::PopupClosed(XView* popup)
{
    const std::int32_t result = popup->Result();
    switch (popup->PopupId()) {
        case editorcode::kConfirmNew:
            if (result == 1) SaveThen(Dialog::kSaveThenReset);
            if (result == 0) ResetCommand();
            break;
        case editorcode::kConfirmOpen:
            if (result == 1) SaveThen(Dialog::kSaveThenOpen);
            if (result == 0) StartOpenDialog();
            break;
        case editorcode::kMissingFiles:
            ApplyMissingResult(*popup, result);
            break;
        case editorcode::kStackEditor:
            UpdateKeyboardMarks();
            break;
        default:
            break;
    }
}
