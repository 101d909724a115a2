// The file dialog of our own, for desktops without a dialog program: a path box over a tree of
// the machine's folders (and, when choosing files, the files that fit the filters). Picking a
// row puts its path in the box; OK answers the box's path, Cancel nothing. The answer outlives
// the dialog, so whoever started it reads it after the dialog is gone.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gui/WPopup.h"
#include "gui/XListener.h"
#include "gui/XTree.h"

class XButton;
class XEditBox;
class XFolderTree;

class WFileDialog : public WPopup, public XListener {
public:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 380;
    static constexpr std::size_t kMaxRows = 4096;  // per folder

    enum class Kind { kOpen, kSave, kFolder };
    struct Answer {
        bool done = false;
        bool chosen = false;
        std::string path;
        WFileDialog* dialog = nullptr;  // while it is shown
    };

    // Extensions without the point; none shows every file.
    WFileDialog(Kind kind, std::string_view title, std::vector<std::string> extensions);
    ~WFileDialog() override;

    const std::shared_ptr<Answer>& GetAnswer() const { return answer_; }
    // Another top of the tree (the machine's roots and the home folder are there already).
    void AddRoot(const std::string& path);
    XEditBox* PathBox() const { return pathBox_; }
    XTree* Tree() const;
    XButton* OkButton() const { return ok_; }
    XButton* CancelButton() const { return cancel_; }

    // The box's path as the answer (refused unless absolute), or no answer.
    void Finish(bool choose);

    void ButtonClicked(XButton* sender, std::int32_t code) override;
    void TreeNotify(XControl* sender, std::int32_t code) override;

private:
    friend class XFolderTree;
    void List(XTree::Node* node);
    bool Shows(const std::string& name, bool folder) const;

    Kind kind_;
    std::vector<std::string> extensions_;
    std::shared_ptr<Answer> answer_;
    std::unordered_map<const XTree::Node*, std::string> paths_;
    XEditBox* pathBox_ = nullptr;
    XFolderTree* tree_ = nullptr;
    XButton* ok_ = nullptr;
    XButton* cancel_ = nullptr;
};
