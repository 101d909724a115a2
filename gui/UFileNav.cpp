#include "gui/UFileNav.h"

#include "gui/XCodes.h"
#include "gui/XView.h"
#include "platform/Platform.h"

namespace {

// The dialogs name their choices one per line.
constexpr char kSeparator = '\n';

std::string Cut(std::string_view text, std::size_t slotBytes)
{
    return std::string(text.substr(0, slotBytes - 1));
}

}  // namespace

UFileNav::~UFileNav()
{
    Cancel();
}

void UFileNav::AddFilter(std::string_view description, std::string_view extension)
{
    if (static_cast<int>(filters_.size()) >= kMaxFilters) return;
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    filters_.push_back({Cut(description, kDescriptionBytes), Cut(extension, kExtensionBytes)});
}

std::string UFileNav::FilterLabel(int index) const
{
    if (index < 0 || index >= static_cast<int>(filters_.size())) return {};
    const Filter& filter = filters_[static_cast<std::size_t>(index)];
    return filter.description + " (*." + filter.extension + ")";
}

UFileNav::Program UFileNav::Available()
{
    if (!platform::ChildProcess::Find("zenity").empty()) return Program::kZenity;
    if (!platform::ChildProcess::Find("kdialog").empty()) return Program::kKDialog;
    return Program::kNone;
}

bool UFileNav::Open(std::string_view title)
{
    return Start(Kind::kOpen, title);
}

bool UFileNav::Save(std::string_view title)
{
    return Start(Kind::kSave, title);
}

bool UFileNav::ChooseFolder(std::string_view title)
{
    return Start(Kind::kFolder, title);
}

std::vector<std::string> UFileNav::Arguments(Program program, Kind kind,
                                             std::string_view title) const
{
    std::vector<std::string> args;
    if (program == Program::kZenity) {
        args = {"--file-selection", "--title=" + std::string(title)};
        if (kind == Kind::kOpen) {
            args.push_back("--multiple");
            args.push_back(std::string("--separator=") + kSeparator);
        }
        if (kind == Kind::kSave) args.push_back("--save");
        if (kind == Kind::kFolder) args.push_back("--directory");
        for (int i = 0; kind != Kind::kFolder && i < static_cast<int>(filters_.size()); ++i)
            args.push_back("--file-filter=" + FilterLabel(i) + " | *." +
                           filters_[static_cast<std::size_t>(i)].extension);
        return args;
    }
    args = {"--title", std::string(title)};
    const std::string start = platform::HomeFolder();
    std::string patterns;
    for (int i = 0; i < static_cast<int>(filters_.size()); ++i) {
        if (!patterns.empty()) patterns += '\n';
        patterns += "*." + filters_[static_cast<std::size_t>(i)].extension + "|" + FilterLabel(i);
    }
    switch (kind) {
        case Kind::kOpen:
            args.insert(args.end(),
                        {"--getopenfilename", start, patterns, "--multiple", "--separate-output"});
            break;
        case Kind::kSave:
            args.insert(args.end(), {"--getsavefilename", start, patterns});
            break;
        case Kind::kFolder:
            args.insert(args.end(), {"--getexistingdirectory", start});
            break;
    }
    return args;
}

bool UFileNav::Start(Kind kind, std::string_view title)
{
    if (state_ == State::kOpen) {
        Log("*** UFileNav: a dialog is open already ***");
        return false;
    }
    folder_.clear();
    names_.clear();
    kind_ = kind;
    USystemDialog::Filters filters;
    for (int i = 0; i < static_cast<int>(filters_.size()); ++i)
        filters.emplace_back(FilterLabel(i), filters_[static_cast<std::size_t>(i)].extension);
    native_ = USystemDialog::Make(kind, std::string(title), std::move(filters));
    if (native_) {
        state_ = State::kOpen;
        return true;
    }
    const Program program = Available();
    if (program == Program::kNone) {
        if (!owner_) {
            Log("*** UFileNav: neither zenity nor kdialog is installed ***");
            state_ = State::kFailed;
            return false;
        }
        std::vector<std::string> extensions;
        for (const Filter& filter : filters_) extensions.push_back(filter.extension);
        const auto dialogKind = kind == Kind::kOpen   ? WFileDialog::Kind::kOpen
                                : kind == Kind::kSave ? WFileDialog::Kind::kSave
                                                      : WFileDialog::Kind::kFolder;
        auto dialog = std::make_unique<WFileDialog>(dialogKind, title, std::move(extensions));
        ownAnswer_ = dialog->GetAnswer();
        owner_->ShowPopup(std::move(dialog), xcode::kFileNavPopup);
        state_ = State::kOpen;
        return true;
    }
    dialog_ = std::make_unique<platform::ChildProcess>();
    const char* name = program == Program::kZenity ? "zenity" : "kdialog";
    if (!dialog_->Start(name, Arguments(program, kind, title))) {
        Log("*** UFileNav: %s cannot be started ***", name);
        dialog_.reset();
        state_ = State::kFailed;
        return false;
    }
    state_ = State::kOpen;
    return true;
}

UFileNav::State UFileNav::Poll()
{
    if (state_ == State::kOpen && native_ && native_->Done()) {
        const std::vector<std::string> paths = native_->Paths();
        native_.reset();
        state_ = paths.empty()
                     ? State::kCancelled
                     : TakePaths(std::vector<std::string_view>(paths.begin(), paths.end()));
        return state_;
    }
    if (state_ == State::kOpen && ownAnswer_ && ownAnswer_->done) {
        const std::string path = ownAnswer_->path;
        const bool chosen = ownAnswer_->chosen;
        ownAnswer_.reset();
        state_ = chosen ? TakePaths({path}) : State::kCancelled;
        return state_;
    }
    if (state_ != State::kOpen || !dialog_ || !dialog_->Poll()) return state_;
    const int code = dialog_->ExitCode();
    if (code == 0) {
        state_ = TakeAnswer();
    } else if (code == 1) {
        state_ = State::kCancelled;
    } else {
        Log("*** UFileNav: the dialog ended with %d ***", code);
        state_ = State::kFailed;
    }
    dialog_.reset();
    return state_;
}

void UFileNav::Cancel()
{
    if (state_ != State::kOpen) return;
    if (dialog_) dialog_->Stop();
    dialog_.reset();
    native_.reset();  // cancels the system's dialog
    if (ownAnswer_ && ownAnswer_->dialog) ownAnswer_->dialog->Finish(false);
    ownAnswer_.reset();
    state_ = State::kCancelled;
}

UFileNav::State UFileNav::TakeAnswer()
{
    std::string_view answer = dialog_->Output();
    if (dialog_->OutputCut()) {
        Log("*** UFileNav: the dialog's answer is too long ***");
        return State::kFailed;
    }
    if (!answer.empty() && answer.back() == kSeparator) answer.remove_suffix(1);
    if (answer.empty()) return State::kCancelled;
    std::vector<std::string_view> paths;
    while (!answer.empty()) {
        const std::size_t end = answer.find(kSeparator);
        paths.push_back(answer.substr(0, end));
        if (end == std::string_view::npos) break;
        answer.remove_prefix(end + 1);
    }
    return TakePaths(paths);
}

UFileNav::State UFileNav::TakePaths(const std::vector<std::string_view>& paths)
{
    for (std::string_view path : paths) {
        if (!platform::IsAbsolutePath(path)) {
            Log("*** UFileNav: the dialog answered no path ***");
            return State::kFailed;
        }
    }
    if (kind_ == Kind::kFolder) {
        std::string_view folder = paths.front();
        // Trailing separators go, the root's own ("/", "C:\\") stays.
        while (folder.size() > 1 && platform::IsPathSeparator(folder.back()) &&
               platform::FolderOf(folder) != folder)
            folder.remove_suffix(1);
        folder_ = folder;
        return State::kChosen;
    }
    for (std::string_view path : paths) {
        const std::string_view folder = platform::FolderOf(path);
        std::string_view name = path.substr(folder.size());
        while (!name.empty() && platform::IsPathSeparator(name.front())) name.remove_prefix(1);
        if (name.empty()) continue;
        if (names_.empty()) folder_ = folder;
        if (folder != folder_) {
            Log("*** UFileNav: a chosen file outside the first one's folder is left out ***");
            continue;
        }
        if (static_cast<int>(names_.size()) == kMaxNames) break;
        names_.emplace_back(name);
    }
    // A name saved without an extension takes the first filter's.
    if (kind_ == Kind::kSave && !names_.empty() && !filters_.empty() &&
        names_.front().find('.') == std::string::npos && !filters_.front().extension.empty())
        names_.front() += "." + filters_.front().extension;
    return names_.empty() ? State::kFailed : State::kChosen;
}

std::string UFileNav::Path(std::size_t index) const
{
    if (kind_ == Kind::kFolder) return folder_;
    if (index >= names_.size()) return {};
    return platform::JoinPath(folder_, names_[index]);
}
