#include "gui/XControl.h"

#include <algorithm>

#include "gui/XGraphic.h"
#include "gui/XView.h"

namespace {

int ClampCoordinate(int v)
{
    return std::clamp(v, -XControl::kMaxCoordinate, XControl::kMaxCoordinate);
}

int ClampSize(int v)
{
    return std::clamp(v, 0, XControl::kMaxCoordinate);
}

// Cuts at most `limit` bytes without splitting a UTF-8 sequence.
std::string_view CutText(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// A redirect chain longer than this is a cycle made by mistake; stop walking it.
constexpr int kMaxRedirects = 64;

}  // namespace

XControl::XControl() = default;

XControl::XControl(int x, int y, int width, int height)
    : x_(ClampCoordinate(x)),
      y_(ClampCoordinate(y)),
      width_(ClampSize(width)),
      height_(ClampSize(height))
{
}

XControl::~XControl()
{
    DestroyChildren();
}

void XControl::DestroyChildren()
{
    // In list order, each unlinked before it goes, so a child's destructor never sees a
    // sibling half destroyed.
    while (!children_.empty()) {
        std::unique_ptr<XControl> child = std::move(children_.front());
        children_.erase(children_.begin());
        NotifyGone(child.get());
        child.reset();
    }
}

std::uintptr_t XControl::GetWindow()
{
    return parent_ ? parent_->GetWindow() : 0;
}

XWindowPort* XControl::WindowPort()
{
    return parent_ ? parent_->WindowPort() : nullptr;
}

void XControl::Draw(XGraphic* g)
{
    const XColor background = GetColor(0);
    if (background.IsTransparent()) return;
    g->SetFillColor(background);
    g->FillRect(0, 0, width_, height_);
}

void XControl::AdoptControl(std::unique_ptr<XControl> child, bool fromEdges)
{
    if (!child) return;
    child->parent_ = this;
    if (fromEdges) {
        if (child->x_ < 0) child->x_ = ClampCoordinate(child->x_ + width_);
        if (child->y_ < 0) child->y_ = ClampCoordinate(child->y_ + height_);
    }
    XControl* raw = child.get();
    children_.push_back(std::move(child));
    raw->Invalidate();
}

void XControl::AddChildControl(std::unique_ptr<XControl> child, int x, int y, int width, int height)
{
    if (!child) return;
    XControl* raw = child.get();
    AdoptControl(std::move(child), false);
    if (width != 0 && height != 0) {
        raw->SetBounds(x, y, width, height);
        raw->Placed();
    }
}

XControl* XControl::Child(int index) const
{
    if (index < 0 || index >= ChildCount()) return nullptr;
    return children_[static_cast<std::size_t>(index)].get();
}

bool XControl::Contains(const XControl* other) const
{
    for (const XControl* c = other; c; c = c->parent_) {
        if (c == this) return true;
    }
    return false;
}

XControl* XControl::Root()
{
    XControl* c = this;
    while (c->parent_) c = c->parent_;
    return c;
}

XView* XControl::RootView()
{
    return dynamic_cast<XView*>(Root());
}

void XControl::SetPosition(int x, int y)
{
    x_ = ClampCoordinate(x);
    y_ = ClampCoordinate(y);
}

void XControl::SetSize(int width, int height)
{
    width = ClampSize(width);
    height = ClampSize(height);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    Resized();
    Invalidate();
    if (parent_) parent_->ChildResized();
}

void XControl::SetBounds(int x, int y, int width, int height)
{
    SetPosition(x, y);
    SetSize(width, height);
}

void XControl::SetOrigin(int x, int y)
{
    originX_ = ClampCoordinate(x);
    originY_ = ClampCoordinate(y);
}

XControl* XControl::ChildAt(int x, int y) const
{
    for (const auto& child : children_) {
        const XControl& c = *child;
        if (!c.visible_ || !c.enabled_ || c.deleted_ || c.width_ <= 0 || c.height_ <= 0) continue;
        const int left = c.x_ - c.originX_;
        const int top = c.y_ - c.originY_;
        if (x >= left && x <= left + c.width_ && y >= top && y <= top + c.height_) {
            return child.get();
        }
    }
    return nullptr;
}

XControl* XControl::DeepestAt(int x, int y)
{
    if (!visible_ || !enabled_ || deleted_) return nullptr;
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
    for (const auto& child : children_) {
        const int cx = x - (child->x_ - child->originX_);
        const int cy = y - (child->y_ - child->originY_);
        if (XControl* found = child->DeepestAt(cx, cy)) return found;
    }
    return this;
}

int XControl::AbsoluteX() const
{
    int x = 0;
    for (const XControl* c = this; c->parent_; c = c->parent_) x += c->x_ - c->originX_;
    return x;
}

int XControl::AbsoluteY() const
{
    int y = 0;
    for (const XControl* c = this; c->parent_; c = c->parent_) y += c->y_ - c->originY_;
    return y;
}

XRect XControl::RectInRoot() const
{
    XRect rect = XRect::FromSize(0, 0, width_, height_);
    for (const XControl* c = this; c->parent_; c = c->parent_) {
        rect.Offset(c->x_ - c->originX_, c->y_ - c->originY_);
        rect = rect.Intersect(XRect::FromSize(0, 0, c->parent_->width_, c->parent_->height_));
    }
    return rect;
}

bool XControl::OffsetIn(const XControl* ancestor, int& dx, int& dy) const
{
    dx = 0;
    dy = 0;
    for (const XControl* c = this; c; c = c->parent_) {
        if (c == ancestor) return true;
        dx += c->x_ - c->originX_;
        dy += c->y_ - c->originY_;
    }
    return false;
}

void XControl::SetColor(int index, XColor color)
{
    if (index < 0 || index >= static_cast<int>(colors_.size())) return;
    colors_[static_cast<std::size_t>(index)] = color;
}

XColor XControl::GetColor(int index) const
{
    if (index < 0 || index >= static_cast<int>(colors_.size())) return XColor();
    return colors_[static_cast<std::size_t>(index)];
}

void XControl::SetText(std::string_view text)
{
    text_.assign(CutText(text, kMaxText));
    Invalidate();
}

XControl* XControl::RedirectEnd()
{
    XControl* c = this;
    for (int i = 0; i < kMaxRedirects && c->redirect_ && c->redirect_ != c; ++i) c = c->redirect_;
    return c;
}

void XControl::Show()
{
    XControl* c = RedirectEnd();
    if (c->visible_ || c->deleted_) return;
    c->visible_ = true;
    c->Invalidate();
}

void XControl::Hide()
{
    XControl* c = RedirectEnd();
    if (!c->visible_) return;
    c->visible_ = false;
    if (c->parent_) c->parent_->Invalidate();
}

void XControl::SetEnabled(bool enabled)
{
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Invalidate();
}

void XControl::Remove()
{
    if (deleted_) return;
    const bool wasVisible = visible_;
    visible_ = false;
    deleted_ = true;
    // The parent repaints the area, and its next pass reaches the deleted child.
    if (parent_ && wasVisible) parent_->Invalidate();
    for (XControl* c = parent_; c; c = c->parent_) c->childDirty_ = true;
}

void XControl::Invalidate()
{
    XControl* c = RedirectEnd();
    c->dirty_ = true;
    for (XControl* p = c->parent_; p && !p->childDirty_; p = p->parent_) p->childDirty_ = true;
}

void XControl::NotifyGone(XControl* gone)
{
    for (XControl* c = this; c; c = c->parent_) c->ControlGone(gone);
}

void XControl::DrawTree(XGraphic* g, bool force)
{
    if (!g) return;
    const XRect surface = g->SurfaceRect();
    DrawBelow(g);
    // Cleared on every pass, as for children: a child that repaints its parent under itself
    // must not take the root as drawn on a pass that left it alone.
    drawn_ = false;
    if (dirty_ || force) {
        dirty_ = false;
        force = true;
        g->SetClip(XRect::FromSize(0, 0, width_, height_), surface);
        Draw(g);
        drawn_ = true;
    }
    childDirty_ = false;
    DrawChildren(g, force, 0, 0, surface);
    DrawAbove(g);
}

void XControl::DrawParentUnder(XGraphic* g)
{
    if (!parent_ || parent_->WasDrawn()) return;
    const int dx = x_ - originX_;
    const int dy = y_ - originY_;
    g->Translate(dx, dy);
    parent_->Draw(g);
    g->Translate(-dx, -dy);
}

void XControl::DrawChildren(XGraphic* g, bool force, int ax, int ay, const XRect& clip)
{
    // By index: a Draw may add controls (the vector may grow) but never destroys any.
    for (std::size_t i = 0; i < children_.size();) {
        XControl* child = children_[i].get();
        if (child->deleted_) {
            std::unique_ptr<XControl> owned = std::move(children_[i]);
            children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(i));
            NotifyGone(owned.get());
            continue;
        }
        child->DrawChild(g, force, ax, ay, clip);
        ++i;
    }
}

void XControl::DrawChild(XGraphic* g, bool force, int px, int py, const XRect& clip)
{
    if (!visible_ || width_ <= 0 || height_ <= 0) return;
    dirty_ = dirty_ || force;
    drawn_ = false;
    if (!dirty_ && !childDirty_) return;
    const int ax = px + x_ - originX_;
    const int ay = py + y_ - originY_;
    const XRect rect = XRect::FromSize(ax, ay, width_, height_);
    childDirty_ = false;
    const XRect inside = clip.Intersect(rect);
    if (inside.IsEmpty()) return;
    bool forceChildren = false;
    if (dirty_) {
        dirty_ = false;
        g->SetClip(rect, inside);
        Draw(g);
        drawn_ = true;
        forceChildren = true;
    }
    DrawChildren(g, forceChildren, ax, ay, inside);
}
