#include "gui/XMenu.h"

#include <algorithm>

#include "gui/XCodes.h"
#include "gui/XEventQueue.h"
#include "gui/XFont.h"
#include "gui/XGraphic.h"
#include "gui/XRegn.h"

namespace {

constexpr XColor kBack(36, 40, 50);
constexpr XColor kEdge(96, 106, 128);
constexpr XColor kHighlight(58, 88, 150);
constexpr XColor kText(226, 230, 238);
constexpr XColor kDisabled(112, 118, 130);
constexpr XColor kRule(66, 72, 88);
constexpr XColor kStrip(46, 51, 63);
constexpr int kCell = 15;  // 'xfdf'
constexpr int kTextX = 22;
constexpr int kMinWidth = 120;
constexpr int kMaxWidth = 600;

int MeasureText(std::string_view s)
{
    const auto font = XFont::Get(kCell, false);
    return font ? font->Measure(s) : static_cast<int>(s.size()) * 7;
}

// Widest text and tallest level of the menu and its submenus.
void Measure(const XMenu& menu, bool isSub, int& width, int& height)
{
    int h = isSub ? XMenuView::kRowHeight : 0;
    for (int i = 0; i < menu.Count(); ++i) {
        const XMenu::Entry* e = menu.At(i);
        if (e->separator) {
            h += XMenuView::kSeparatorHeight;
            continue;
        }
        h += XMenuView::kRowHeight;
        width = std::max(width, MeasureText(e->text));
        if (e->submenu) Measure(*e->submenu, true, width, height);
    }
    height = std::max(height, h);
}

void Triangle(XGraphic* g, int x, int y, bool right, XColor c)
{
    XRegn r;
    if (right) {
        r.AddPoint(x, y);
        r.AddPoint(x + 5, y + 5);
        r.AddPoint(x, y + 10);
    } else {
        r.AddPoint(x + 5, y);
        r.AddPoint(x, y + 5);
        r.AddPoint(x + 5, y + 10);
    }
    g->FillPolygon(r, c);
}

// A small arrow pointing up or down, centred on (cx, y).
void StripArrow(XGraphic* g, int cx, int y, bool up, XColor c)
{
    XRegn r;
    if (up) {
        r.AddPoint(cx - 5, y + 5);
        r.AddPoint(cx + 5, y + 5);
        r.AddPoint(cx, y);
    } else {
        r.AddPoint(cx - 5, y);
        r.AddPoint(cx + 5, y);
        r.AddPoint(cx, y + 5);
    }
    g->FillPolygon(r, c);
}

// Forwards the presses the popup machinery routes to children.
class MenuSurface : public XControl {
public:
    MenuSurface(XMenuView* view, int w, int h) : XControl(0, 0, w, h), view_(view)
    {
        SetColor(0, XColor());
    }
    bool MouseDown(XMouse* m) override
    {
        view_->PointerPressed(m->LocalPressX(), m->LocalPressY());
        return true;
    }
    void MouseDrag(XMouse* m) override { view_->PointerMoved(m->LocalX(), m->LocalY()); }
    void MouseUp(XMouse* m) override { view_->PointerReleased(m->LocalX(), m->LocalY()); }
    bool Wheel(int, int, int, int dy) override
    {
        view_->ScrollBy(-dy);
        return true;
    }
    void Hover(int x, int y) override { view_->PointerMoved(x - X(), y - Y()); }
    // The view answers enter and escape itself before a control sees them, so keys come here.
    bool KeyDown(XKey* key) override { return view_->KeyDown(key); }

private:
    XMenuView* view_;
};

}  // namespace

// --- The model

XMenu::XMenu() : root_(this), id_(0) {}

XMenu::XMenu(Key, XMenu* root, std::int32_t id) : root_(root), id_(id) {}

XMenu::~XMenu() = default;

bool XMenu::Append(Entry entry)
{
    if (Count() >= kMaxItems) return false;
    entries_.push_back(std::move(entry));
    return true;
}

std::int32_t XMenu::AddItem(std::string_view text)
{
    Entry e;
    e.text = text.substr(0, 1024);
    e.command = (id_ << 16) + Count() + 1;
    const std::int32_t command = e.command;
    return Append(std::move(e)) ? command : 0;
}

void XMenu::AddSeparator()
{
    Entry e;
    e.separator = true;
    Append(std::move(e));
}

XMenu* XMenu::AddSubmenu(std::string_view text)
{
    // Ids stay within 15 bits so commands remain positive.
    if (Count() >= kMaxItems || root_->nextId_ >= 0x7FFF) return nullptr;
    Entry e;
    e.text = text.substr(0, 1024);
    e.submenu = std::make_unique<XMenu>(Key {}, root_, root_->nextId_++);
    XMenu* sub = e.submenu.get();
    Append(std::move(e));
    return sub;
}

const XMenu::Entry* XMenu::At(int index) const
{
    return index >= 0 && index < Count() ? &entries_[static_cast<std::size_t>(index)] : nullptr;
}

const XMenu::Entry* XMenu::Find(std::int32_t command) const
{
    if (command <= 0) return nullptr;
    for (const Entry& e : entries_) {
        if (e.command == command) return &e;
        if (e.submenu) {
            if (const Entry* found = e.submenu->Find(command)) return found;
        }
    }
    return nullptr;
}

void XMenu::SetEnabled(std::int32_t command, bool on)
{
    if (auto* e = const_cast<Entry*>(Find(command))) e->enabled = on;
}

void XMenu::SetChecked(std::int32_t command, bool on)
{
    if (auto* e = const_cast<Entry*>(Find(command))) e->checked = on;
}

bool XMenu::Choose(std::int32_t command)
{
    const Entry* e = Find(command);
    if (!e || !e->enabled) return false;
    chosenMenu_ = command >> 16;
    chosenIndex_ = (command & 0xFFFF) - 1;
    return true;
}

// --- The view

XMenuView::XMenuView(std::unique_ptr<XMenu> menu, int maxHeight, XEventQueue* reply,
                     std::int32_t code)
    : menu_(menu ? std::move(menu) : std::make_unique<XMenu>()),
      level_(menu_.get()),
      reply_(reply),
      code_(code)
{
    int width = 0;
    int height = 0;
    Measure(*menu_, false, width, height);
    width = std::clamp(width + kTextX + 26, kMinWidth, kMaxWidth);
    height += 2 * kPad;
    const int limit = std::max(maxHeight, 2 * kStripHeight + 3 * kRowHeight + 2 * kPad);
    scrollable_ = height > limit;
    SetSize(width, std::max(std::min(height, limit), kRowHeight + 2 * kPad));
    SetColor(0, kBack);
    SetFocus(Adopt(std::make_unique<MenuSurface>(this, Width(), Height())));
    Enter(menu_.get());
}

XMenuView::~XMenuView() = default;

XMenuView* XMenuView::ShowIn(XView* owner, std::unique_ptr<XMenu> menu, int x, int y,
                             std::int32_t code)
{
    if (!owner) return nullptr;
    XView* root = owner->RootView() ? owner->RootView() : owner;
    auto view = std::make_unique<XMenuView>(std::move(menu), root->Height(), owner, code);
    int dx = 0, dy = 0;
    owner->OffsetIn(root, dx, dy);
    const int left = std::clamp(x + dx, 0, std::max(0, root->Width() - view->Width()));
    const int top = std::clamp(y + dy, 0, std::max(0, root->Height() - view->Height()));
    auto* raw = static_cast<XMenuView*>(root->ShowPopup(std::move(view), xcode::kMenuPopup));
    raw->SetPosition(left, top);
    return raw;
}

void XMenuView::Enter(const XMenu* level)
{
    level_ = level ? level : menu_.get();
    scroll_ = 0;
    highlight_ = -1;
    Layout();
    Invalidate();
}

void XMenuView::Layout()
{
    lines_.clear();
    int top = 0;
    if (level_ != menu_.get()) {
        lines_.push_back(Line {-1, top, kRowHeight});
        top += kRowHeight;
    }
    for (int i = 0; i < level_->Count(); ++i) {
        const int h = level_->At(i)->separator ? kSeparatorHeight : kRowHeight;
        lines_.push_back(Line {i, top, h});
        top += h;
    }
    contentHeight_ = top;
}

int XMenuView::ContentTop() const
{
    return kPad + (scrollable_ ? kStripHeight : 0);
}

int XMenuView::ViewHeight() const
{
    return Height() - 2 * kPad - (scrollable_ ? 2 * kStripHeight : 0);
}

const XMenu* XMenuView::ParentOf(const XMenu* level) const
{
    // Breadth of the menu is small; a walk from the top finds the owner of a submenu.
    std::vector<const XMenu*> todo {menu_.get()};
    while (!todo.empty()) {
        const XMenu* m = todo.back();
        todo.pop_back();
        for (int i = 0; i < m->Count(); ++i) {
            const XMenu* sub = m->At(i)->submenu.get();
            if (sub == level) return m;
            if (sub) todo.push_back(sub);
        }
    }
    return nullptr;
}

int XMenuView::LineAt(int x, int y) const
{
    if (x < 0 || x >= Width() || y < ContentTop() || y >= ContentTop() + ViewHeight()) return -1;
    const int contentY = y - ContentTop() + scroll_;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (contentY >= lines_[i].top && contentY < lines_[i].top + lines_[i].height) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void XMenuView::ScrollBy(int rows)
{
    if (!scrollable_) return;
    const int limit = std::max(0, contentHeight_ - ViewHeight());
    const int s = std::clamp(scroll_ + rows * kRowHeight, 0, limit);
    if (s == scroll_) return;
    scroll_ = s;
    Invalidate();
}

void XMenuView::Reveal(int line)
{
    if (line < 0 || line >= static_cast<int>(lines_.size())) return;
    const Line& l = lines_[static_cast<std::size_t>(line)];
    const int before = scroll_;
    if (l.top < scroll_) scroll_ = l.top;
    if (l.top + l.height > scroll_ + ViewHeight()) scroll_ = l.top + l.height - ViewHeight();
    scroll_ = std::clamp(scroll_, 0, std::max(0, contentHeight_ - ViewHeight()));
    if (scroll_ != before) Invalidate();
}

namespace {

bool Selectable(const XMenu& level, int entry)
{
    if (entry < 0) return true;  // the way back
    const XMenu::Entry* e = level.At(entry);
    return e && !e->separator && (e->enabled || e->submenu);
}

}  // namespace

void XMenuView::PointerMoved(int x, int y)
{
    if (finished_) return;
    const int line = LineAt(x, y);
    const int h =
        line >= 0 && Selectable(*level_, lines_[static_cast<std::size_t>(line)].entry) ? line : -1;
    if (h != highlight_) {
        highlight_ = h;
        Invalidate();
    }
}

void XMenuView::PointerPressed(int x, int y)
{
    if (finished_) return;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
        Finish(0);
        return;
    }
    if (scrollable_ && y < ContentTop()) {
        ScrollBy(-1);
        return;
    }
    if (scrollable_ && y >= ContentTop() + ViewHeight()) {
        ScrollBy(1);
        return;
    }
    pressed_ = true;
    PointerMoved(x, y);
}

void XMenuView::PointerReleased(int x, int y)
{
    if (finished_ || !pressed_) return;
    pressed_ = false;
    const int line = LineAt(x, y);
    if (line >= 0 && line == highlight_) Activate(line);
}

void XMenuView::Activate(int line)
{
    if (line < 0 || line >= static_cast<int>(lines_.size())) return;
    const int entry = lines_[static_cast<std::size_t>(line)].entry;
    if (entry < 0) {
        Enter(ParentOf(level_));
        return;
    }
    const XMenu::Entry* e = level_->At(entry);
    if (!e || e->separator) return;
    if (e->submenu) {
        Enter(e->submenu.get());
        return;
    }
    if (e->enabled) Finish(e->command);
}

void XMenuView::MoveHighlight(int step)
{
    const int n = static_cast<int>(lines_.size());
    if (n == 0) return;
    int line = highlight_;
    for (int tries = 0; tries < n; ++tries) {
        line = line < 0 ? (step > 0 ? 0 : n - 1) : (line + step + n) % n;
        if (Selectable(*level_, lines_[static_cast<std::size_t>(line)].entry)) {
            highlight_ = line;
            Reveal(line);
            Invalidate();
            return;
        }
    }
}

bool XMenuView::KeyDown(XKey* key)
{
    if (!key || finished_) return false;
    switch (key->code) {
        case kKeyUp:
            MoveHighlight(-1);
            return true;
        case kKeyDown:
            MoveHighlight(1);
            return true;
        case kKeyEnter:
            Activate(highlight_);
            return true;
        case kKeyRight:
            if (highlight_ >= 0) {
                const XMenu::Entry* e =
                    level_->At(lines_[static_cast<std::size_t>(highlight_)].entry);
                if (e && e->submenu) Activate(highlight_);
            }
            return true;
        case kKeyLeft:
            if (level_ != menu_.get()) Enter(ParentOf(level_));
            return true;
        case kKeyEscape:
            Finish(0);
            return true;
        default:
            return false;
    }
}

void XMenuView::Finish(std::int32_t command)
{
    if (finished_) return;
    finished_ = true;
    if (command) menu_->Choose(command);
    if (reply_) reply_->Post(code_, command, 0);
    Close(command);
}

void XMenuView::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->SetFont(xcode::kFontDefault);
    const int top = ContentTop();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        const int y = top + line.top - scroll_;
        if (y + line.height <= top - kPad || y >= top + ViewHeight() + kPad) continue;
        if (line.entry < 0) {
            // The way back to the parent level, titled with this level's entry.
            g->SetFillColor(static_cast<int>(i) == highlight_ ? kHighlight : kStrip);
            g->FillRect(kPad, y, Width() - 2 * kPad, line.height);
            Triangle(g, 8, y + 5, false, kText);
            std::string title;
            if (const XMenu* parent = ParentOf(level_)) {
                for (int k = 0; k < parent->Count(); ++k) {
                    if (parent->At(k)->submenu.get() == level_) title = parent->At(k)->text;
                }
            }
            g->SetTextColor(kText);
            g->Text(title, kTextX, y + 5);
            continue;
        }
        const XMenu::Entry* e = level_->At(line.entry);
        if (e->separator) {
            g->SetPen(kRule);
            g->Line(kPad + 6, y + line.height / 2, Width() - kPad - 7, y + line.height / 2);
            continue;
        }
        if (static_cast<int>(i) == highlight_) {
            g->SetFillColor(kHighlight);
            g->FillRect(kPad, y, Width() - 2 * kPad, line.height);
        }
        const XColor c = e->enabled || e->submenu ? kText : kDisabled;
        if (e->checked) {
            g->SetPen(c);
            g->Line(7, y + 10, 10, y + 13);
            g->Line(10, y + 13, 15, y + 6);
            g->Line(7, y + 9, 10, y + 12);
            g->Line(10, y + 12, 15, y + 5);
        }
        if (e->submenu) Triangle(g, Width() - kPad - 12, y + 5, true, c);
        g->SetTextColor(c);
        g->Text(e->text, kTextX, y + 5);
    }
    if (scrollable_) {
        const bool canUp = scroll_ > 0;
        const bool canDown = scroll_ < contentHeight_ - ViewHeight();
        g->SetFillColor(kStrip);
        g->FillRect(0, 0, Width(), kPad + kStripHeight);
        g->FillRect(0, Height() - kPad - kStripHeight, Width(), kPad + kStripHeight);
        StripArrow(g, Width() / 2, kPad + 4, true, canUp ? kText : kDisabled);
        StripArrow(g, Width() / 2, Height() - kPad - kStripHeight + 4, false,
                   canDown ? kText : kDisabled);
    } else {
        g->SetFillColor(kBack);
        g->FillRect(0, 0, Width(), kPad);
        g->FillRect(0, Height() - kPad, Width(), kPad);
    }
    g->Frame(XRect(0, 0, Width() - 1, Height() - 1), kEdge);
}
