#include "gui/XList.h"

#include <algorithm>
#include <cstdlib>

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

namespace {

constexpr int kIconWidth = 22;
constexpr int kTextInset = 2;
constexpr XColor kEmptyText(140, 140, 150);
constexpr XColor kDragText(127, 127, 96);

}  // namespace

XList::XList(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor(34, 38, 46));
    SetColor(1, XColor(58, 88, 150));
    SetColor(2, XColor(222, 226, 234));
    SetColor(3, XColor(62, 68, 82));
}

// --- Items

void XList::Rebuild()
{
    rows_.clear();
    for (int i = 0; i < ItemCount(); ++i) {
        if (!(items_[static_cast<std::size_t>(i)].flags & kHidden)) rows_.push_back(i);
    }
}

void XList::Changed()
{
    Rebuild();
    SetSize(Width(), items_.empty() ? 10 : kRowHeight * static_cast<int>(rows_.size()) + kTop);
    Invalidate();
}

int XList::AddItem(std::string_view text, std::int32_t key, std::int32_t data)
{
    Item item;
    item.key = key;
    item.data = data;
    item.text = text.substr(0, kMaxText);
    items_.push_back(std::move(item));
    const int index = ItemCount() - 1;
    rows_.push_back(index);
    SetSize(Width(), kRowHeight * static_cast<int>(rows_.size()) + kTop);
    Invalidate();
    return index;
}

void XList::RemoveItem(int index)
{
    if (index < 0 || index >= ItemCount()) return;
    items_.erase(items_.begin() + index);
    if (anchor_ == index) anchor_ = -1;
    if (anchor_ > index) --anchor_;
    Changed();
}

void XList::Clear()
{
    // A drag of rows that no longer exist would drop stale data.
    CancelDrag();
    items_.clear();
    anchor_ = -1;
    pressed_ = false;
    Changed();
}

const XList::Item* XList::GetItem(int index) const
{
    if (index < 0 || index >= ItemCount()) return nullptr;
    return &items_[static_cast<std::size_t>(index)];
}

void XList::SetItemText(int index, std::string_view text)
{
    if (index < 0 || index >= ItemCount()) return;
    items_[static_cast<std::size_t>(index)].text = text.substr(0, kMaxText);
    Invalidate();
}

void XList::SetHidden(int index, bool hidden)
{
    if (index < 0 || index >= ItemCount()) return;
    auto& flags = items_[static_cast<std::size_t>(index)].flags;
    flags = hidden ? (flags | kHidden) & ~kSelected : flags & ~kHidden;
    Changed();
}

bool XList::SetIcon(std::int32_t key, const XPic& pic)
{
    if (!pic.IsLoaded()) {
        icons_.erase(key);
        Invalidate();
        return false;
    }
    if (!icons_.contains(key) && static_cast<int>(icons_.size()) >= kMaxIcons) return false;
    icons_[key] = pic;
    Invalidate();
    return true;
}

bool XList::SetIcon(std::int32_t key, std::string_view pictureName)
{
    return SetIcon(key, XPic(pictureName));
}

// --- Selection

bool XList::IsSelected(int index) const
{
    const Item* item = GetItem(index);
    return item && (item->flags & kSelected);
}

void XList::SetSelected(int index, bool on)
{
    if (index < 0 || index >= ItemCount()) return;
    auto& flags = items_[static_cast<std::size_t>(index)].flags;
    if (on && (flags & kHidden)) return;
    flags = on ? flags | kSelected : flags & ~kSelected;
    Invalidate();
}

void XList::ClearSelection()
{
    for (auto& item : items_) item.flags &= ~kSelected;
    Invalidate();
}

void XList::Select(int index)
{
    ClearSelection();
    SetSelected(index, true);
    if (index >= 0 && index < ItemCount()) anchor_ = index;
}

int XList::SelectedIndex() const
{
    for (int i = 0; i < ItemCount(); ++i) {
        if (IsSelected(i)) return i;
    }
    return -1;
}

int XList::SelectedCount() const
{
    return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                          [](const Item& i) { return i.flags & kSelected; }));
}

int XList::ItemAt(int x, int y) const
{
    if (x < 0 || x >= Width() || y < kTop) return -1;
    const std::size_t row = static_cast<std::size_t>((y - kTop) / kRowHeight);
    return row < rows_.size() ? rows_[row] : -1;
}

int XList::RowTop(int index) const
{
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), index);
    if (it == rows_.end() || *it != index) return -1;
    return kTop + kRowHeight * static_cast<int>(it - rows_.begin());
}

// --- Mouse

bool XList::MouseDown(XMouse* mouse)
{
    // A drag whose release never came (lost outside the window) must not drop later.
    CancelDrag();
    pressed_ = false;
    const int index = ItemAt(mouse->LocalPressX(), mouse->LocalPressY());
    if (index < 0) return false;
    const bool canDrag = Payload() != 0;
    if (!multiSelect_) {
        const bool changed = !IsSelected(index) || SelectedCount() != 1;
        Select(index);
        if (changed) Broadcast(this, 0);
        pressed_ = canDrag;
        return canDrag;
    }
    if (mouse->shift && anchor_ >= 0 && anchor_ < ItemCount()) {
        const int from = std::min(anchor_, index);
        const int to = std::max(anchor_, index);
        for (int i = 0; i < ItemCount(); ++i) SetSelected(i, i >= from && i <= to);
    } else if (mouse->control) {
        SetSelected(index, !IsSelected(index));
        anchor_ = index;
    } else if (IsSelected(index)) {
        // A press on the selection drags all of it at once.
        if (!canDrag) return false;
        BeginDrag(this, mouse->LocalPressX(), mouse->LocalPressY());
    } else {
        Select(index);
    }
    pressed_ = canDrag;
    return canDrag;
}

void XList::MouseDrag(XMouse* mouse)
{
    if (!pressed_) return;
    const int x = mouse->LocalX();
    const int y = mouse->LocalY();
    if (!IsDragging()) {
        if (!MovedBeyond(*mouse, kDragDistance)) return;
        if (SelectedCount() == 0) return;
        BeginDrag(this, mouse->LocalPressX(), mouse->LocalPressY());
    }
    DragTo(x, y);
}

void XList::MouseUp(XMouse* mouse)
{
    pressed_ = false;
    if (IsDragging()) EndDrag(mouse->LocalX(), mouse->LocalY());
}

// --- Drawing

void XList::Draw(XGraphic* g)
{
    XControl::Draw(g);
    rowsDrawn_ = 0;
    // The part of the list in view, in the list's coordinates.
    XRect seen = g->ClipRect().Offsetted(-g->OriginX(), -g->OriginY());
    seen = seen.Intersect(XRect(0, 0, Width() - 1, Height() - 1));
    if (seen.IsEmpty()) return;
    g->SetFont(xcode::kFontDefault);
    if (items_.empty()) {
        g->SetTextColor(kEmptyText);
        g->TextWrapped(Text(), XRect(8, 8, Width() - 9, std::max(Height(), seen.bottom) - 9));
    }
    const int first = std::max(0, (seen.top - kTop) / kRowHeight);
    const int last =
        std::min(static_cast<int>(rows_.size()) - 1, (seen.bottom - kTop) / kRowHeight);
    for (int row = first; row <= last; ++row) {
        const Item& item = items_[static_cast<std::size_t>(rows_[static_cast<std::size_t>(row)])];
        const int top = kTop + row * kRowHeight;
        if (item.flags & kSelected) {
            g->SetFillColor(GetColor(1));
            g->FillRect(1, top, Width() - 2, kRowHeight);
        }
        int textX = kTextInset;
        if (const auto icon = icons_.find(item.key); icon != icons_.end()) {
            g->DrawPic(icon->second, 2, top + (kRowHeight - icon->second.Height()) / 2);
            textX += kIconWidth;
        }
        g->SetTextColor(GetColor(2));
        g->Text(item.text, textX, top + 4);
        ++rowsDrawn_;
    }
    g->Frame(seen, GetColor(3));
}

void XList::DrawDragImage(XGraphic* g)
{
    g->SetFont(xcode::kFontDefault);
    g->SetTextColor(kDragText);
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const Item& item = items_[static_cast<std::size_t>(rows_[row])];
        if (!(item.flags & kSelected)) continue;
        const int textX = kTextInset + (icons_.contains(item.key) ? kIconWidth : 0);
        g->Text(item.text, textX, kTop + static_cast<int>(row) * kRowHeight + 4);
    }
}
