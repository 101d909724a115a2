#include "editor/XViewNav.h"

#include <memory>

#include "editor/EditorCodes.h"
#include "editor/XListInst.h"
#include "editor/XListLink.h"
#include "editor/XTreeGiga.h"
#include "gui/XCodes.h"
#include "gui/XGraphic.h"
#include "gui/XLabel.h"
#include "gui/XViewPort.h"

namespace {

constexpr int kTop = 6;
constexpr int kLabelHeight = 14;
constexpr int kPortTop = 22;
constexpr int kPortHeight = 269;
// How long choosing a .gig file may wait for its programs before the column fills later.
constexpr int kQuickReadMs = 30;
constexpr XColor kPanel(0, 20, 30);
constexpr XColor kOutline(0, 0, 0);
constexpr XColor kWell(25, 30, 40);
constexpr XColor kListBack(50, 60, 80);
constexpr XColor kListText(220, 220, 190);
constexpr XColor kSelection(58, 88, 150);

// Favourites list icons.
constexpr std::int32_t kComputerKey = 0;
constexpr std::int32_t kFavoriteKey = 2;

}  // namespace

XViewNav::XViewNav(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, kPanel);
    labelTheme_.SetColor(0, XColor(40, 40, 45));
    labelTheme_.SetColor(2, XColor(180, 180, 150));
    labelTheme_.SetColor(3, kWell);
    listTheme_.SetColor(0, kListBack);
    listTheme_.SetColor(2, kListText);
    listTheme_.SetColor(3, kListBack);

    auto favorites =
        std::make_unique<XListLink>(0, 0, 180, 100, [this](XControl* source, std::int32_t payload) {
            return TreeOffersFolder(source, payload);
        });
    favorites->SetPayload(editorcode::kLinkPayload);
    favorites_ = AddColumn(6, 180, "Favorites")->Attach(std::move(favorites), false, true);

    auto tree = std::make_unique<XTreeGiga>(0, 0, 384, 200);
    tree->SetPayload(editorcode::kTreePayload);
    tree_ = AddColumn(188, 384, "Browser")->Attach(std::move(tree), false, true);

    auto instruments = std::make_unique<XListInst>(0, 0, 220, 200);
    instruments->SetPayload(editorcode::kInstrumentPayload);
    instruments->SetText(kEmptyInstruments);
    instruments_ = AddColumn(574, 220, "Instruments")->Attach(std::move(instruments), false, true);

    for (XControl* c : {static_cast<XControl*>(favorites_), static_cast<XControl*>(tree_),
                        static_cast<XControl*>(instruments_)})
        listTheme_.Apply(c);
    tree_->SetColor(1, kSelection);  // as the lists show theirs
    favorites_->AddListener(this);
    tree_->AddListener(this);
    instruments_->AddListener(this);
}

XViewNav::~XViewNav() = default;

XViewPort* XViewNav::AddColumn(int x, int width, const char* title)
{
    auto* label = Add<XLabel>(x, kTop, width, kLabelHeight, title);
    labelTheme_.Apply(label);
    auto* port = Add<XViewPort>(x, kPortTop, width, kPortHeight);
    port->SetColor(0, kWell);
    port->SetColor(3, kWell);
    return port;
}

void XViewNav::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->Frame(XRect(0, 0, Width() - 1, Height() - 1), kOutline);
}

void XViewNav::Populate()
{
    if (favorites_->ItemCount() > 0) return;
    Log("XViewNav::Populate()");
    favorites_->SetIcon(kComputerKey, "icn_comp.png");
    favorites_->SetIcon(kFavoriteKey, "icn_folder.png");
    instruments_->SetIcon(0, "icn_inst.png");
    favorites_->AddItem("Computer", kComputerKey);
    store_.Load();
    for (int i = 0; i < store_.Count(); ++i) favorites_->AddItem(store_.NameOf(i), kFavoriteKey);
    favorites_->Select(0);
    store_.Select(0);
    tree_->SetFolder(store_.CurrentPath());
    favorites_->Invalidate();
}

bool XViewNav::SaveFavorites()
{
    return store_.Save();
}

bool XViewNav::ChosenInstrument(std::string& path, int& program) const
{
    if (chosenGig_.empty()) return false;
    path = chosenGig_;
    program = chosenProgram_;
    return true;
}

int XViewNav::SelectedProgram() const
{
    return instruments_->SelectedProgram();
}

bool XViewNav::DraggedInstrument(std::int32_t payload, std::string& path, int& program)
{
    if (payload == editorcode::kInstrumentPayload) {
        if (listedGig_.empty() || instruments_->SelectedCount() != 1) return false;
        path = listedGig_;
        program = SelectedProgram();
        return true;
    }
    if (payload == editorcode::kTreePayload) {
        const auto* node = tree_->SelectedGig();
        if (!node) return false;
        path = tree_->FullPath(node);
        program = path == listedGig_ && instruments_->SelectedCount() == 1 ? SelectedProgram() : 0;
        return true;
    }
    return false;
}

bool XViewNav::TreeOffersFolder(XControl* source, std::int32_t payload) const
{
    if (payload != editorcode::kTreePayload || source != tree_) return false;
    const auto* node = tree_->Selected();
    return node && (node->kind == XTreeGiga::kFolder || node->kind == XTreeGiga::kDrive);
}

void XViewNav::ListNotify(XControl* sender, std::int32_t code)
{
    if (sender == favorites_) {
        if (code == 0) FavoriteSelected();
        if (code == editorcode::kFavoriteAdd) AddFavorite();
        if (code == editorcode::kFavoriteRemove) RemoveFavorite();
        return;
    }
    if (sender == instruments_ && code == editorcode::kListLoad &&
        instruments_->SelectedCount() == 1 && !listedGig_.empty()) {
        chosenGig_ = listedGig_;
        chosenProgram_ = SelectedProgram();
        Log("XViewNav: chosen %s program %d", chosenGig_.c_str(), chosenProgram_);
        Broadcast(this, editorcode::kInstrumentChosen);
    }
}

void XViewNav::TreeNotify(XControl* sender, std::int32_t code)
{
    if (sender == tree_ && code == xcode::kTreePicked) ListPrograms();
}

void XViewNav::FavoriteSelected()
{
    instruments_->Clear();
    listedGig_.clear();
    store_.Select(favorites_->SelectedIndex());
    tree_->SetFolder(store_.CurrentPath());
    instruments_->Invalidate();
}

void XViewNav::AddFavorite()
{
    const auto* node = tree_->Selected();
    if (!node || (node->kind != XTreeGiga::kFolder && node->kind != XTreeGiga::kDrive)) return;
    if (!store_.Add(tree_->FullPath(node))) return;
    favorites_->AddItem(store_.NameOf(store_.Count() - 1), kFavoriteKey);
    favorites_->Invalidate();
}

void XViewNav::RemoveFavorite()
{
    const int index = favorites_->SelectedIndex();
    if (index < 1) return;  // the computer stays
    store_.Select(index);
    if (!store_.RemoveSelected()) return;
    favorites_->RemoveItem(index);
    favorites_->Select(0);
    FavoriteSelected();
    favorites_->Invalidate();
}

void XViewNav::ListPrograms()
{
    instruments_->Clear();
    listedGig_.clear();
    instruments_->Invalidate();
    const auto* node = tree_->SelectedGig();
    if (!node) return;
    programs_.Request(tree_->FullPath(node));
    // Most files answer at once; a slow one fills the column on a later tick.
    if (programs_.WaitFor(kQuickReadMs)) Poll();
}

void XViewNav::Poll()
{
    UProgramList::Result result;
    if (programs_.Take(result)) ShowPrograms(result);
}

void XViewNav::ShowPrograms(const UProgramList::Result& result)
{
    const auto* node = tree_->SelectedGig();
    if (!node || tree_->FullPath(node) != result.path) return;  // the tree moved on meanwhile
    instruments_->Clear();
    if (result.opened) {
        listedGig_ = result.path;
        for (std::size_t i = 0; i < result.names.size(); ++i) {
            const std::string& name = result.names[i];
            instruments_->AddItem(name.empty() ? "Program " + std::to_string(i + 1) : name, 0,
                                  static_cast<std::int32_t>(i));
        }
    } else {
        Log("*** XViewNav: %s does not open, no instruments listed ***", result.path.c_str());
    }
    instruments_->Invalidate();
}
