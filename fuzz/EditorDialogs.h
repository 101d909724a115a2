// The editor target's file dialogs. The system's dialog (USystemDialog) is a stand-in that the
// input answers: EditorFuzz.cpp defines USystemDialog::Make, which the linker then takes instead
// of the library's (the build chooses that function the same way for Windows). While the input
// asks for our own dialogs, Make answers none and UFileNav shows its WFileDialog (PATH holds no
// dialog program). Whatever our own dialog answers outside the scratch folder is moved into it
// before the editor reads it, so that nothing is written or scanned elsewhere.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/USystemDialog.h"
#include "gui/WFileDialog.h"
#include "gui/XView.h"

namespace editorfuzz {

class StandInDialog;

// The dialogs open now, oldest first, and whether the system offers dialogs of its own.
struct OpenDialogs {
    static OpenDialogs& Instance()
    {
        static OpenDialogs dialogs;
        return dialogs;
    }
    bool systemDialogs = true;
    std::vector<StandInDialog*> open;
};

class StandInDialog final : public USystemDialog {
public:
    explicit StandInDialog(Kind kind) : kind_(kind)
    {
        OpenDialogs::Instance().open.push_back(this);
    }
    ~StandInDialog() override
    {
        auto& open = OpenDialogs::Instance().open;
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
    }

    Kind GetKind() const { return kind_; }
    // The user's answer: absolute paths, none when cancelled.
    void Answer(std::vector<std::string> paths)
    {
        paths_ = std::move(paths);
        done_ = true;
        auto& open = OpenDialogs::Instance().open;
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
    }

    bool Done() const override { return done_; }
    const std::vector<std::string>& Paths() const override { return paths_; }

private:
    Kind kind_;
    bool done_ = false;
    std::vector<std::string> paths_;
};

// Keeps our own dialogs' answers inside `folder` (a path without a trailing separator).
class DialogSandbox {
public:
    explicit DialogSandbox(std::string folder) : folder_(std::move(folder)) {}

    // Notes every own dialog shown in the popup chain under `root`.
    void Watch(XView& root)
    {
        for (XView* view = root.OpenPopup(); view; view = view->OpenPopup()) {
            auto* dialog = dynamic_cast<WFileDialog*>(view);
            if (!dialog) continue;
            const auto& answer = dialog->GetAnswer();
            if (std::find(answers_.begin(), answers_.end(), answer) == answers_.end())
                answers_.push_back(answer);
        }
    }
    // Moves chosen paths outside the folder into it (keeping the last name) and forgets
    // answers nobody else holds. Call before every tick that may read an answer.
    void Confine()
    {
        for (const auto& answer : answers_) {
            if (answer->done && answer->chosen && !Inside(answer->path))
                answer->path = folder_ + "/" + Sanitised(LastName(answer->path));
        }
        answers_.erase(std::remove_if(answers_.begin(), answers_.end(),
                                      [](const auto& a) { return a.use_count() == 1; }),
                       answers_.end());
    }
    // The innermost own dialog still open under `root`, or null.
    static WFileDialog* Showing(XView& root)
    {
        WFileDialog* found = nullptr;
        for (XView* view = root.OpenPopup(); view; view = view->OpenPopup())
            if (auto* dialog = dynamic_cast<WFileDialog*>(view);
                dialog && !dialog->CloseRequested())
                found = dialog;
        return found;
    }

    bool Inside(const std::string& path) const
    {
        if (path.compare(0, folder_.size(), folder_) != 0) return false;
        if (path.size() > folder_.size() && path[folder_.size()] != '/') return false;
        return path.find("/..") == std::string::npos;
    }
    // A name with the separators and NULs taken out; "." and ".." are no names.
    static std::string Sanitised(std::string name)
    {
        std::replace(name.begin(), name.end(), '/', '_');
        std::replace(name.begin(), name.end(), '\0', '_');
        if (name.empty() || name == "." || name == "..") name = "outside";
        return name;
    }

private:
    static std::string LastName(const std::string& path)
    {
        std::string trimmed = path;
        while (!trimmed.empty() && trimmed.back() == '/') trimmed.pop_back();
        const std::size_t slash = trimmed.rfind('/');
        return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    }

    std::string folder_;
    std::vector<std::shared_ptr<WFileDialog::Answer>> answers_;
};

}  // namespace editorfuzz
