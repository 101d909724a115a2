// The file dialogs: open (up to kMaxNames files), save, and choose a folder. Where the system has
// dialogs of its own (Windows) they are those (USystemDialog). Elsewhere they are the desktop's
// own dialog programs (zenity, else kdialog), started without waiting, or, on a
// desktop with neither, our own dialog shown over the owner view: the owner asks Poll on its
// later ticks until the choice is in, and a dialog still open when its owner goes is ended with
// it. Names are bytes: spaces, long names and names that are not UTF-8 come back as
// the dialog gave them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/USystemDialog.h"
#include "gui/WFileDialog.h"
#include "platform/ChildProcess.h"
#include "platform/QelLog.h"

class XView;

class UFileNav : public QelLog {
public:
    static constexpr int kMaxFilters = 8;
    static constexpr std::size_t kDescriptionBytes = 20;  // slot sizes, terminator included
    static constexpr std::size_t kExtensionBytes = 6;
    static constexpr int kMaxNames = 64;

    enum class State { kIdle, kOpen, kChosen, kCancelled, kFailed };
    enum class Program { kNone, kZenity, kKDialog };

    UFileNav() = default;
    ~UFileNav() override;
    UFileNav(const UFileNav&) = delete;
    UFileNav& operator=(const UFileNav&) = delete;

    // The view over which our own dialog shows when the desktop offers no dialog program.
    void SetOwner(XView* owner) { owner_ = owner; }

    // Keeps up to kMaxFilters filters, each cut to its slot; a leading "." of the extension is
    // dropped. The dialog shows "Description (*.ext)" for the pattern "*.ext".
    void AddFilter(std::string_view description, std::string_view extension);

    // Start the dialog; false (and state kFailed, a log line) when no dialog can be shown (no
    // dialog program and no owner view) or one is open already.
    bool Open(std::string_view title);
    bool Save(std::string_view title);
    bool ChooseFolder(std::string_view title);

    // The owner's tick: reads the dialog's answer once it has one.
    State Poll();
    State GetState() const { return state_; }
    // Ends an open dialog; the state becomes kCancelled.
    void Cancel();

    // After kChosen: the folder of the chosen files (or the chosen folder) and the names in it.
    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& Names() const { return names_; }
    // Folder and name joined; the folder itself for ChooseFolder.
    std::string Path(std::size_t index = 0) const;

    // The dialog program this machine offers, by the same rule Open uses.
    static Program Available();
    // The label the dialogs show for filter i, "Description (*.ext)".
    std::string FilterLabel(int index) const;

private:
    using Kind = USystemDialog::Kind;
    struct Filter {
        std::string description;
        std::string extension;
    };

    bool Start(Kind kind, std::string_view title);
    std::vector<std::string> Arguments(Program program, Kind kind, std::string_view title) const;
    State TakeAnswer();
    // The chosen paths (absolute) as folder and names.
    State TakePaths(const std::vector<std::string_view>& paths);

    std::vector<Filter> filters_;
    std::unique_ptr<platform::ChildProcess> dialog_;
    std::shared_ptr<WFileDialog::Answer> ownAnswer_;  // our own dialog's, while it is shown
    std::unique_ptr<USystemDialog> native_;           // the system's dialog, while it is open
    XView* owner_ = nullptr;
    Kind kind_ = Kind::kOpen;
    State state_ = State::kIdle;
    std::string folder_;
    std::vector<std::string> names_;
};
