#include "gui/WFileDialog.h"

#include "gui/XButton.h"
#include "gui/XCodes.h"
#include "gui/XEditBox.h"
#include "gui/XViewPort.h"
#include "platform/Platform.h"

namespace {

constexpr std::int32_t kFolderKind = 1;
constexpr std::int32_t kFileKind = 2;
constexpr int kMargin = 12;
constexpr int kTitleHeight = 26;
constexpr int kBoxHeight = 22;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "name.EXT" fits "ext": the extension after the last point, letters in either case.
bool EndsWithExtension(const std::string& name, const std::string& extension)
{
    if (name.size() <= extension.size() + 1) return false;
    const std::size_t dot = name.size() - extension.size() - 1;
    if (name[dot] != '.') return false;
    for (std::size_t i = 0; i < extension.size(); ++i)
        if (Lower(name[dot + 1 + i]) != Lower(extension[i])) return false;
    return true;
}

}  // namespace

// The tree lists a folder when it is first opened.
class XFolderTree : public XTree {
public:
    XFolderTree(int x, int y, int width, int height, WFileDialog& dialog)
        : XTree(x, y, width, height), dialog_(dialog)
    {
    }
    void Expand(Node* node) override { dialog_.List(node); }

private:
    WFileDialog& dialog_;
};

WFileDialog::WFileDialog(Kind kind, std::string_view title, std::vector<std::string> extensions)
    : WPopup(kWidth, kHeight, title),
      kind_(kind),
      extensions_(std::move(extensions)),
      answer_(std::make_shared<Answer>())
{
    answer_->dialog = this;
    const int inner = kWidth - 2 * kMargin;
    pathBox_ = Add<XEditBox>(kMargin, kTitleHeight + 6, inner, kBoxHeight);
    pathBox_->SetColor(0, XColor(14, 16, 20));
    pathBox_->SetColor(2, XColor(230, 232, 238));
    const int treeTop = kTitleHeight + 6 + kBoxHeight + 8;
    const int treeHeight = kHeight - treeTop - kButtonHeight - 2 * kMargin;
    auto* port = Add<XViewPort>(kMargin, treeTop, inner, treeHeight);
    port->SetColor(0, XColor(22, 24, 30));
    port->SetColor(3, XColor(70, 76, 90));
    auto tree = std::make_unique<XFolderTree>(0, 0, inner - 20, XTree::kTop, *this);
    tree->SetSorted(true);
    tree->SetSeparator(platform::kPathSeparator);
    tree->SetColor(0, XColor(22, 24, 30));
    tree->SetColor(1, XColor(200, 120, 30));
    tree->SetColor(2, XColor(225, 228, 235));
    tree->SetIcon(kFolderKind, "icn_folder.png", true);
    tree->SetIcon(kFileKind, "icn_gig.png", false);
    tree->AddListener(this);
    tree_ = port->Attach(std::move(tree), false, true);

    const int buttonTop = kHeight - kMargin - kButtonHeight;
    cancel_ = Add<XButton>(kWidth - kMargin - 2 * kButtonWidth - 8, buttonTop, kButtonWidth,
                           kButtonHeight, "Cancel");
    ok_ =
        Add<XButton>(kWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight, "OK");
    ok_->AddListener(this);
    cancel_->AddListener(this);
    SetDefaultButton(ok_);
    SetCancelButton(cancel_);

    AddRoot("/");
    const std::string home = platform::HomeFolder();
    if (!home.empty() && home != "/") AddRoot(home);
}

WFileDialog::~WFileDialog()
{
    answer_->dialog = nullptr;
    answer_->done = true;
}

XTree* WFileDialog::Tree() const
{
    return tree_;
}

void WFileDialog::AddRoot(const std::string& path)
{
    XTree::Node* node = tree_->AddNode(nullptr, path, kFolderKind);
    if (node) paths_[node] = path;
}

bool WFileDialog::Shows(const std::string& name, bool folder) const
{
    if (!name.empty() && name.front() == '.') return false;  // hidden
    if (folder) return true;
    if (kind_ == Kind::kFolder) return false;
    if (extensions_.empty()) return true;
    for (const std::string& extension : extensions_)
        if (EndsWithExtension(name, extension)) return true;
    return false;
}

void WFileDialog::List(XTree::Node* node)
{
    const auto at = paths_.find(node);
    if (at == paths_.end()) return;
    const std::string folder = at->second;
    for (const platform::FolderEntry& entry : platform::ListFolder(folder, kMaxRows)) {
        if (!Shows(entry.name, entry.folder)) continue;
        XTree::Node* child =
            tree_->AddNode(node, entry.name, entry.folder ? kFolderKind : kFileKind);
        if (child) paths_[child] = platform::JoinPath(folder, entry.name);
    }
}

void WFileDialog::Finish(bool choose)
{
    if (answer_->done) return;
    if (choose) {
        if (pathBox_->IsEditing()) pathBox_->Commit(true);
        std::string path(pathBox_->Text());
        if (path.empty() || path.front() != platform::kPathSeparator) return;  // stays open
        answer_->path = std::move(path);
        answer_->chosen = true;
    }
    answer_->done = true;
    Close(choose ? 1 : 0);
}

void WFileDialog::ButtonClicked(XButton* sender, std::int32_t)
{
    if (sender == ok_) Finish(true);
    if (sender == cancel_) Finish(false);
}

void WFileDialog::TreeNotify(XControl*, std::int32_t code)
{
    if (code != xcode::kTreePicked) return;
    const XTree::Node* node = tree_->Selected();
    const auto at = node ? paths_.find(node) : paths_.end();
    if (at != paths_.end()) pathBox_->SetText(at->second);
}
