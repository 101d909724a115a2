// The main editor's toolbar commands: new, open, save, save as and reset with their file
// dialogs and confirmations, the stack, expand and browse switches, and its messages.
#include <string>
#include <utility>

#include "editor/EditorCodes.h"
#include "editor/GigaEditor.h"
#include "editor/GigaView.h"
#include "editor/WConfirm.h"
#include "editor/WMessage.h"
#include "editor/XToneRack.h"
#include "editor/XViewNav.h"
#include "engine/GigaToneEdit.h"
#include "giga/GigaPlayer.h"
#include "gui/XButton.h"
#include "gui/XPane.h"
#include "gui/XViewPort.h"
#include "persist/GigaPerformance.h"

void GigaEditor::NewCommand()
{
    if (player_.IsModified()) {
        ShowPopup(std::make_unique<WConfirm>(path_), editorcode::kConfirmNew);
        return;
    }
    // Nothing would be lost: a new performance starts at once, as reset does.
    ResetCommand();
}

void GigaEditor::OpenCommand()
{
    if (player_.IsModified()) {
        ShowPopup(std::make_unique<WConfirm>(path_), editorcode::kConfirmOpen);
        return;
    }
    StartOpenDialog();
}

void GigaEditor::SaveCommand()
{
    SaveThen(Dialog::kNone);
}

void GigaEditor::SaveAsCommand()
{
    StartSaveDialog(Dialog::kSave);
}

void GigaEditor::ResetCommand()
{
    player_.NewPerformance();
    // The rack is empty and unmodified, but no longer what the host keeps.
    player_.NoteStateChanged();
    RequestLoading();
    path_.clear();
    RefreshViews();
    UpdateKeyboardMarks();
}

void GigaEditor::SetStackMode(bool on)
{
    stackMode_ = on;
    tools_[kStack]->SetDown(on);
}

void GigaEditor::SetExpandAll(bool on)
{
    tools_[kExpand]->SetDown(on);
    for (int i = 0; i < ViewCount(); ++i) {
        GigaView* view = View(i);
        view->SetExpanded(on && view->Tone().LayerCount() > 0);
    }
    rack_->Layout();
    port_->Layout();
}

void GigaEditor::SetBrowsing(bool on)
{
    if (on == browsing_) {
        tools_[kBrowse]->SetDown(on);
        return;
    }
    browsing_ = on;
    tools_[kBrowse]->SetDown(on);
    port_->SetSize(kWidth, on ? kPortHeightBrowsing : kPortHeight);
    if (on) {
        keyPane_->Hide();
        browser_->Populate();
        browser_->Show();
    } else {
        browser_->SaveFavorites();
        browser_->Hide();
        keyPane_->Show();
    }
    Invalidate();
}

bool GigaEditor::AcceptInstrumentPath(const std::string& path)
{
    if (path.size() <= GigaPerformance::kMaxLayerPath) return true;
    Log("*** GigaEditor: a path of %zu bytes refused ***", path.size());
    ShowMessage(
        "This instrument's path is longer than 511 bytes: a performance\n"
        "could not keep it, so it was not loaded.");
    return false;
}

void GigaEditor::ShowMessage(const std::string& text)
{
    ShowPopup(std::make_unique<WMessage>(text), editorcode::kMessage);
}

// --- File dialogs

void GigaEditor::StartOpenDialog()
{
    if (fileNav_.Open("Open a Performance")) dialog_ = Dialog::kOpen;
}

bool GigaEditor::StartSaveDialog(Dialog purpose)
{
    if (!fileNav_.Save("Save a Performance")) return false;
    dialog_ = purpose;
    return true;
}

void GigaEditor::SaveThen(Dialog then)
{
    if (path_.empty()) {
        // The dialog's answer arrives on a later tick; the command goes on from there.
        StartSaveDialog(then == Dialog::kNone ? Dialog::kSave : then);
        return;
    }
    if (SaveTo(path_)) AfterSave(then);
}

void GigaEditor::AfterSave(Dialog then)
{
    if (then == Dialog::kSaveThenReset) ResetCommand();
    if (then == Dialog::kSaveThenOpen) StartOpenDialog();
}

bool GigaEditor::SaveTo(const std::string& path)
{
    if (!player_.Save(path)) {
        Log("*** GigaEditor: cannot save %s ***", path.c_str());
        ShowMessage("The performance could not be saved to " + path);
        return false;
    }
    path_ = path;
    return true;
}

void GigaEditor::PollFileDialog()
{
    const UFileNav::State state = fileNav_.Poll();
    if (state == UFileNav::State::kOpen) return;
    const Dialog purpose = std::exchange(dialog_, Dialog::kNone);
    if (state != UFileNav::State::kChosen || fileNav_.Names().empty()) return;
    std::string path = fileNav_.Path(0);
    if (purpose == Dialog::kOpen) {
        OpenFile(path);
        return;
    }
    // A name typed without the extension gets it, as the filter promises.
    const std::string extension = std::string(".") + kPerformanceExtension;
    if (path.size() < extension.size() ||
        path.compare(path.size() - extension.size(), extension.size(), extension) != 0)
        path += extension;
    if (SaveTo(path)) AfterSave(purpose);
}

void GigaEditor::OpenFile(const std::string& path)
{
    const bool started = opening_.Start([path] {
        PerformanceRead read {path, {}};
        GigaPlayer::ReadPerformanceFile(path, read.bytes);
        return read;
    });
    if (!started) {
        Log("*** GigaEditor: %s not opened, another performance is still being read ***",
            path.c_str());
        return;
    }
    if (opening_.WaitFor(kQuickOpenMs)) FinishOpen();
}

void GigaEditor::FinishOpen()
{
    const PerformanceRead read = opening_.Take();
    if (!player_.Load(read.path, read.bytes)) {
        Log("*** GigaEditor: %s is no performance ***", read.path.c_str());
        return;
    }
    path_ = read.path;
    // Unmodified as a file, yet another rack than the host keeps.
    player_.NoteStateChanged();
    RequestLoading();
    RefreshViews();
}

void GigaEditor::RequestLoading()
{
    player_.RequestLoading();
}
