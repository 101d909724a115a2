#include "gui/XTree.h"

#include <algorithm>
#include <cstdlib>

#include "gui/XCodes.h"
#include "gui/XGraphic.h"
#include "gui/XRegn.h"

namespace {

constexpr XColor kDragText(127, 127, 96);

unsigned char Lower(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
}

// ASCII letters ignore case; every other byte compares as itself, so any name has a place.
bool Before(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
}

bool IsDark(XColor c)
{
    return c.red * 3 + c.green * 6 + c.blue < 1280;
}

}  // namespace

XTree::XTree(int x, int y, int width, int height)
    : XControl(x, y, width, height), XBroadcaster(kTree)
{
    SetColor(0, XColor(255, 255, 255));
    SetColor(1, XColor(0, 0, 120));
    SetColor(2, XColor(0, 0, 0));
}

XTree::~XTree() = default;

// --- Nodes

const XTree::Icon* XTree::IconOf(std::int32_t kind) const
{
    for (const Icon& icon : icons_) {
        if (icon.kind == kind) return &icon;
    }
    return nullptr;
}

XTree::Node* XTree::AddNode(Node* parent, std::string_view text, std::int32_t kind)
{
    Node* node;
    if (!free_.empty()) {
        node = free_.back();
        free_.pop_back();
        *node = Node {};
    } else {
        store_.push_back(std::make_unique<Node>());
        node = store_.back().get();
    }
    node->parent = parent;
    node->kind = kind;
    node->text = text.substr(0, kMaxText);
    if (const Icon* icon = IconOf(kind); icon && icon->showExpander) node->flags |= kHasExpander;

    Node** link = parent ? &parent->child : &first_;
    while (*link && !(sorted_ && Before(node->text, (*link)->text))) link = &(*link)->next;
    node->next = *link;
    *link = node;
    bool shown = true;
    for (const Node* p = parent; p && shown; p = p->parent) shown = p->flags & kExpanded;
    if (shown) {
        ++visibleCount_;
        rowsStale_ = true;
        SetSize(Width(), kRowHeight * visibleCount_ + kTop);
        Invalidate();
    }
    return node;
}

void XTree::FreeChildren(Node* node)
{
    Node* c = node ? node->child : first_;
    while (c) {
        Node* next = c->next;
        FreeChildren(c);
        c->flags = 0;
        c->text.clear();
        c->text.shrink_to_fit();
        free_.push_back(c);
        c = next;
    }
    if (node) {
        node->child = nullptr;
    } else {
        first_ = nullptr;
    }
}

void XTree::RemoveChildren(Node* node)
{
    CancelDrag();
    pickPending_ = false;
    FreeChildren(node);
    Layout();
}

void XTree::Clear()
{
    CancelDrag();
    pickPending_ = pressed_ = false;
    first_ = nullptr;
    free_.clear();
    store_.clear();
    Layout();
}

bool XTree::SetIcon(std::int32_t kind, const XPic& pic, bool showExpander)
{
    for (Icon& icon : icons_) {
        if (icon.kind == kind) {
            icon.pic = pic;
            icon.showExpander = showExpander;
            Invalidate();
            return true;
        }
    }
    if (static_cast<int>(icons_.size()) >= kMaxIcons) return false;
    icons_.push_back(Icon {kind, pic, showExpander});
    Invalidate();
    return true;
}

bool XTree::SetIcon(std::int32_t kind, std::string_view pictureName, bool showExpander)
{
    return SetIcon(kind, XPic(pictureName), showExpander);
}

void XTree::SetExpanderPictures(const XPic& open, const XPic& closed)
{
    open_ = open;
    closed_ = closed;
    Invalidate();
}

std::string XTree::PathOf(const Node* node) const
{
    if (!node) return rootPath_;
    std::vector<const Node*> chain;
    for (const Node* n = node; n; n = n->parent) chain.push_back(n);
    std::string path = rootPath_;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) path.push_back(separator_);
        path += (*it)->text;
    }
    if (node->flags & kHasExpander) path.push_back(separator_);
    return path;
}

const std::vector<XTree::Row>& XTree::Rows() const
{
    if (!rowsStale_) return rows_;
    rowsStale_ = false;
    rows_.clear();
    // Walks the expanded nodes without recursion, so deep trees cannot exhaust the stack.
    Node* n = first_;
    int level = 0;
    while (n) {
        rows_.push_back(Row {n, level});
        if (n->child && (n->flags & kExpanded)) {
            n = n->child;
            ++level;
            continue;
        }
        while (n && !n->next) {
            n = n->parent;
            --level;
        }
        if (n) n = n->next;
    }
    return rows_;
}

void XTree::Layout()
{
    rowsStale_ = true;
    visibleCount_ = static_cast<int>(Rows().size());
    SetSize(Width(), kRowHeight * visibleCount_ + kTop);
    Invalidate();
}

void XTree::SetExpanded(Node* node, bool on)
{
    if (!node) return;
    if (on) {
        node->flags |= kExpanded;
        if (!node->child) Expand(node);
    } else {
        node->flags &= ~kExpanded;
    }
    Layout();
}

void XTree::Toggle(Node* node)
{
    if (node) SetExpanded(node, !(node->flags & kExpanded));
}

void XTree::ClearSelection()
{
    for (const auto& n : store_) n->flags &= ~kSelected;
    Invalidate();
}

void XTree::Select(Node* node)
{
    ClearSelection();
    if (node) node->flags |= kSelected;
}

XTree::Node* XTree::Selected() const
{
    for (const Row& row : Rows()) {
        if (row.node->flags & kSelected) return row.node;
    }
    // A selected node inside a collapsed branch is still the selection (freed nodes have no
    // flags).
    for (const auto& n : store_) {
        if (n->flags & kSelected) return n.get();
    }
    return nullptr;
}

XTree::Node* XTree::NodeAt(int y, int* level) const
{
    if (y < kTop) return nullptr;
    const std::size_t row = static_cast<std::size_t>((y - kTop) / kRowHeight);
    if (row >= Rows().size()) return nullptr;
    if (level) *level = Rows()[row].level;
    return Rows()[row].node;
}

int XTree::TextX(const Node* node, int level) const
{
    const Icon* icon = IconOf(node->kind);
    const int x = level * kIndent + kIconX;
    return icon && icon->pic.IsLoaded() ? x + icon->pic.Width() + 4 : x;
}

// --- Mouse and keys

bool XTree::MouseDown(XMouse* mouse)
{
    // A drag whose release never came (lost outside the window) must not drop later.
    CancelDrag();
    pickPending_ = pressed_ = false;
    const int x = mouse->LocalPressX();
    int level = 0;
    Node* node = NodeAt(mouse->LocalPressY(), &level);
    if (!node || x < 0 || x >= Width()) {
        if (Selected()) {
            ClearSelection();
            Broadcast(this, xcode::kTreePicked);
        }
        return false;
    }
    const int indent = level * kIndent;
    if ((node->flags & kHasExpander) && x >= indent && x < indent + kExpanderWidth) {
        Toggle(node);
        return false;
    }
    pressed_ = true;
    if (node->flags & kSelected) return true;
    if (!(multiSelect_ && mouse->control)) ClearSelection();
    node->flags |= kSelected;
    Invalidate();
    pickPending_ = true;
    return true;
}

void XTree::MouseDrag(XMouse* mouse)
{
    if (!pressed_) return;
    const int x = mouse->LocalX();
    const int y = mouse->LocalY();
    if (!IsDragging()) {
        if (!MovedBeyond(*mouse, kDragDistance)) return;
        if (!Selected()) return;
        BeginDrag(this, mouse->LocalPressX(), mouse->LocalPressY());
    }
    DragTo(x, y);
}

void XTree::MouseUp(XMouse* mouse)
{
    pressed_ = false;
    if (IsDragging()) {
        pickPending_ = false;
        EndDrag(mouse->LocalX(), mouse->LocalY());
        return;
    }
    if (!pickPending_) return;
    pickPending_ = false;
    Broadcast(this, xcode::kTreePicked);
    // The listener may have rebuilt the tree; ask again for the selection.
    Node* node = Selected();
    if (node && !node->child && (node->flags & kHasExpander) && !(node->flags & kExpanded)) {
        SetExpanded(node, true);
    }
}

bool XTree::KeyDown(XKey* key)
{
    if (!key || (key->code != kKeyUp && key->code != kKeyDown) || !Selected()) return false;
    ClearSelection();
    return true;
}

// --- Drawing

void XTree::Draw(XGraphic* g)
{
    XControl::Draw(g);
    rowsDrawn_ = 0;
    XRect seen = g->ClipRect().Offsetted(-g->OriginX(), -g->OriginY());
    seen = seen.Intersect(XRect(0, 0, Width() - 1, Height() - 1));
    if (seen.IsEmpty() || Rows().empty()) return;
    g->SetFont(xcode::kFontDefault);
    const int first = std::max(0, (seen.top - kTop) / kRowHeight);
    const int last =
        std::min(static_cast<int>(Rows().size()) - 1, (seen.bottom - kTop) / kRowHeight);
    const XColor selectedText = IsDark(GetColor(1)) ? XColor(255, 255, 255) : GetColor(2);
    for (int r = first; r <= last; ++r) {
        const Row& row = Rows()[static_cast<std::size_t>(r)];
        const Node* node = row.node;
        const int top = kTop + r * kRowHeight;
        const int indent = row.level * kIndent;
        const int textX = TextX(node, row.level);
        const bool selected = node->flags & kSelected;
        if (selected) {
            g->SetFillColor(GetColor(1));
            g->FillRect(textX - 2, top, Width() - textX + 2, kRowHeight);
        }
        if (node->flags & kHasExpander) {
            const bool open = node->flags & kExpanded;
            const XPic& pic = open ? open_ : closed_;
            if (pic.IsLoaded()) {
                g->DrawPic(pic, indent + (kExpanderWidth - pic.Width()) / 2,
                           top + (kRowHeight - pic.Height()) / 2);
            } else {
                // A small arrow: right when closed, down when open.
                XRegn arrow;
                const int cx = indent + 2;
                const int cy = top + 5;
                if (open) {
                    arrow.AddPoint(cx, cy + 2);
                    arrow.AddPoint(cx + 8, cy + 2);
                    arrow.AddPoint(cx + 4, cy + 7);
                } else {
                    arrow.AddPoint(cx + 2, cy);
                    arrow.AddPoint(cx + 7, cy + 4);
                    arrow.AddPoint(cx + 2, cy + 9);
                }
                g->FillPolygon(arrow, GetColor(2).Scaled(0.8f));
            }
        }
        if (const Icon* icon = IconOf(node->kind); icon && icon->pic.IsLoaded()) {
            g->DrawPic(icon->pic, indent + kIconX, top + (kRowHeight - icon->pic.Height()) / 2);
        }
        g->SetTextColor(selected ? selectedText : GetColor(2));
        g->Text(node->text, textX, top + 4);
        ++rowsDrawn_;
    }
}

void XTree::DrawDragImage(XGraphic* g)
{
    g->SetFont(xcode::kFontDefault);
    g->SetTextColor(kDragText);
    for (std::size_t r = 0; r < Rows().size(); ++r) {
        const Row& row = Rows()[r];
        if (!(row.node->flags & kSelected)) continue;
        g->Text(row.node->text, TextX(row.node, row.level),
                kTop + static_cast<int>(r) * kRowHeight + 4);
    }
}
