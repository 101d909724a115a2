// The main editor view: the toolbar, the rack of tone views in its view port, the on-screen
// keyboard and the memory meter. It carries out the toolbar's commands on the player, keeps mute
// and solo consistent across the rack and shows the dialogs. One exists per player, made on the
// first editor request and kept across any number of window openings.
//
// Everything here runs on the GUI thread. Other threads reach it only through Post (the
// player's events) and the tone views' atomics; both are applied on the timer tick.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/GigaEditorLayout.h"
#include "editor/GigaEditorLink.h"
#include "gui/UFileNav.h"
#include "gui/XListener.h"
#include "gui/XView.h"
#include "platform/QelLog.h"
#include "platform/UBackgroundJob.h"
#include "player/KyEditor.h"

class GigaPlayer;
class GigaView;
class XButton;
class XKeyboard;
class XLogo;
class XPane;
class XProgress;
class XToneRack;
class XViewNav;
class XViewPort;

class GigaEditor : public XView,
                   public KyEditor,
                   public XListener,
                   public GigaEditorLink,
                   public QelLog {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 560;
    static constexpr int kToolbarHeight = 48;
    static constexpr int kMeterHeight = 4;
    static constexpr int kPortHeight = 420;
    static constexpr int kPortHeightBrowsing = 211;
    static constexpr int kKeyPaneHeight = editorlayout::kKeyPaneHeight;
    static constexpr int kBrowserY = 264;
    static constexpr int kBrowserHeight = kHeight - kBrowserY;
    static constexpr int kRackWidth = 782;
    static constexpr int kRackHeight = 688;
    static constexpr const char* kWebPage = "https://orvana.audio/marlet";
    static constexpr const char* kApplicationId = "audio.orvana.marlet";
    static constexpr const char* kPerformanceFilter = "Marlet Performance";
    static constexpr const char* kPerformanceExtension = "mrp";
    // How long Open waits for the performance file before the GUI goes on and takes it up on a
    // later tick (a file at hand is read well within it).
    static constexpr int kQuickOpenMs = 500;

    // Toolbar buttons, left to right.
    enum Tool : int { kNew, kOpen, kSave, kSaveAs, kBrowse, kStack, kSettings, kExpand, kReset };
    static constexpr int kTools = 9;

    explicit GigaEditor(GigaPlayer& player);
    ~GigaEditor() override;

    // The player no longer posts here and the tones no longer notify the views; called before
    // the editor goes (the destructor does it too).
    void Detach();

    // KyEditor, any thread. The player's load results are coalesced: however many arrive
    // while the window is closed, the next tick handles one, with a failure kept.
    bool Post(const KyEditorEvent& event) override;
    using XEventQueue::Post;

    // GigaEditorLink
    GigaPlayer& Player() override { return player_; }
    bool StackMode() const override { return stackMode_; }
    bool AcceptInstrumentPath(const std::string& path) override;

    // --- The toolbar's commands, as the buttons give them.
    void NewCommand();
    void OpenCommand();
    void SaveCommand();
    void SaveAsCommand();
    void ResetCommand();
    void SetStackMode(bool on);
    void SetExpandAll(bool on);
    void SetBrowsing(bool on);

    // A message in a small dialog of its own, with an OK button.
    void ShowMessage(const std::string& text);

    // --- State, for the window glue and tests.
    const std::string& Path() const { return path_; }
    int SelectedTone() const { return selected_; }
    void SelectTone(int index);
    int ViewCount() const;
    GigaView* View(int index) const;
    XButton* ToolButton(Tool tool) const { return tools_[tool]; }
    XKeyboard* Keyboard() const { return keyboard_; }
    XProgress* MemoryMeter() const { return meter_; }
    XViewPort* Port() const { return port_; }
    XViewNav* Browser() const { return browser_; }
    const UFileNav& FileNav() const { return fileNav_; }
    bool IsBrowsing() const { return browsing_; }

    // --- XView and XListener
    void HandleEvent(XEvent* event) override;
    void PopupClosed(XView* popup) override;
    void Tick(std::uint32_t tick) override;
    void Command(std::int32_t code, std::int32_t a, std::int32_t b) override;
    void ButtonClicked(XButton* sender, std::int32_t code) override;
    void Notify(XControl* sender, std::int32_t code) override;

private:
    // What the file dialog that is open was asked for.
    enum class Dialog { kNone, kOpen, kSave, kSaveThenReset, kSaveThenOpen };

    void BuildToolbar();
    void BuildRack();
    void BuildKeyboard();
    // An instrument chosen in the browser goes to the selected tone (stack mode) or to the
    // first tone without one.
    void BrowserChose();
    void UpdateMemoryMeter();
    void PollFileDialog();
    void StartOpenDialog();
    bool StartSaveDialog(Dialog purpose);
    // The selected tone's key and key-switch ranges on the keyboard, when they changed.
    void UpdateKeyboardMarks();
    // Save as the save button does: to the path, or through the dialog; `then` runs after it.
    void SaveThen(Dialog then);
    void AfterSave(Dialog then);
    bool SaveTo(const std::string& path);
    // Open reads the performance on a thread of its own, so that a drive that does not answer
    // never freezes the host's window; FinishOpen takes it up once read.
    void OpenFile(const std::string& path);
    void FinishOpen();
    void RequestLoading();
    void ResolveMute(GigaView* view);
    void RefreshViews();
    void ShowMissingFiles();
    void ApplyMissingResult(XView& dialog, std::int32_t result);
    int IndexOf(const GigaView* view) const;

    GigaPlayer& player_;
    std::string path_;
    bool stackMode_ = false;
    bool browsing_ = false;
    int selected_ = 0;
    std::array<XButton*, kTools> tools_ {};
    XPane* toolbar_ = nullptr;
    XLogo* logo_ = nullptr;
    XProgress* meter_ = nullptr;
    XViewPort* port_ = nullptr;
    XToneRack* rack_ = nullptr;
    XPane* keyPane_ = nullptr;
    XKeyboard* keyboard_ = nullptr;
    XViewNav* browser_ = nullptr;
    UFileNav fileNav_;
    Dialog dialog_ = Dialog::kNone;
    // The performance file Open is reading.
    struct PerformanceRead {
        std::string path;
        std::vector<std::byte> bytes;  // empty when it could not be read
    };
    UBackgroundJob<PerformanceRead> opening_;
    // The player's load results waiting for the tick: a pending flag and the combined result.
    std::atomic<bool> loadDonePending_ {false};
    std::atomic<bool> loadFailed_ {false};
    std::array<int, 4> marks_ {};  // the keyboard's ranges as last set
    bool detached_ = false;
};
