#include "gui/XView.h"

#include <algorithm>

#include "gui/XDragger.h"
#include "gui/XGraphic.h"
#include "gui/XPic.h"

XView::XView() = default;

XView::XView(int x, int y, int width, int height) : XControl(x, y, width, height) {}

XView::~XView()
{
    if (dragger_) dragger_->CancelDrag();
    focus_ = hovered_ = defaultButton_ = cancelButton_ = nullptr;
    pending_.clear();
    popup_.reset();
    // While this is still a view, so that ControlGone reaches it.
    DestroyChildren();
}

std::uintptr_t XView::GetWindow()
{
    if (window_ || !Parent()) return window_;
    return Parent()->GetWindow();
}

XWindowPort* XView::WindowPort()
{
    if (port_ || !Parent()) return port_;
    return Parent()->WindowPort();
}

// --- Popups

XView* XView::ShowPopup(std::unique_ptr<XView> popup, std::int32_t identifier)
{
    if (!popup) return nullptr;
    XView* raw = popup.get();
    if (identifier != 0) raw->popupId_ = identifier;
    raw->SetPosition((Width() - raw->Width()) / 2, (Height() - raw->Height()) / 2);
    raw->SetParentLink(this);
    if (popup_ || !pending_.empty()) {
        pending_.push_back(std::move(popup));
        // A popup that closes by itself keeps the result it chose.
        if (popup_ && !popup_->closeRequested_) popup_->Close(0);
    } else {
        popup_ = std::move(popup);
        raw->Invalidate();
    }
    return raw;
}

void XView::Close(std::int32_t result)
{
    result_ = result;
    closeRequested_ = true;
}

XView* XView::Innermost()
{
    XView* v = this;
    while (v->popup_) v = v->popup_.get();
    return v;
}

XView* XView::InnermostAt(int& x, int& y)
{
    XView* v = this;
    while (v->popup_) {
        v = v->popup_.get();
        x = x - v->X() + v->OriginX();
        y = y - v->Y() + v->OriginY();
    }
    return v;
}

// --- Input

bool XView::MouseDownAt(int x, int y, int button, bool shift, bool control)
{
    XView* v = InnermostAt(x, y);
    if (y < 0) return false;
    v->mouse_.Reset();
    v->mouse_.pressX = v->mouse_.currentX = x;
    v->mouse_.pressY = v->mouse_.currentY = y;
    v->mouse_.button = button;
    v->mouse_.shift = shift;
    v->mouse_.control = control;
    v->focus_ = nullptr;

    bool taken = false;
    int px = x;
    int py = y;
    for (XControl* c = v->ChildAt(px, py); c;) {
        const int dx = c->X() - c->OriginX();
        const int dy = c->Y() - c->OriginY();
        v->mouse_.offsetX += dx;
        v->mouse_.offsetY += dy;
        if (c->MouseDown(&v->mouse_)) {
            v->focus_ = c;
            taken = true;
            break;
        }
        px -= dx;
        py -= dy;
        c = c->ChildAt(px, py);
    }
    v->buttonDown_ = taken;
    return taken;
}

bool XView::ShownWithin(const XControl* control) const
{
    for (const XControl* c = control; c && c != this; c = c->Parent()) {
        if (!c->IsVisible() || !c->IsEnabled() || c->IsDeleted()) return false;
    }
    return true;
}

XControl* XView::HoverTarget(int x, int y)
{
    int dx = 0;
    int dy = 0;
    if (hovered_ && ShownWithin(hovered_) && hovered_->OffsetIn(this, dx, dy)) {
        if (XControl* found = hovered_->DeepestAt(x - dx, y - dy)) return found;
    }
    XControl* found = DeepestAt(x, y);
    return found == this ? nullptr : found;
}

void XView::MouseMoveTo(int x, int y, bool shift, bool control)
{
    XView* v = InnermostAt(x, y);
    if (v->hasLast_ && x == v->lastX_ && y == v->lastY_) return;
    v->hasLast_ = true;
    v->lastX_ = x;
    v->lastY_ = y;
    if (v->buttonDown_) {
        v->mouse_.currentX = x;
        v->mouse_.currentY = y;
        v->mouse_.shift = shift;
        v->mouse_.control = control;
        if (v->focus_) v->focus_->MouseDrag(&v->mouse_);
        return;
    }
    XControl* now = v->HoverTarget(x, y);
    if (now == v->hovered_) return;
    XControl* old = v->hovered_;
    v->hovered_ = now;
    if (old) old->MouseLeave();
    // MouseLeave may have removed `now`; it is still alive until the next drawing pass.
    if (now && v->hovered_ == now) now->MouseEnter();
}

void XView::MouseUpAt(int x, int y)
{
    XView* v = InnermostAt(x, y);
    v->buttonDown_ = false;
    v->mouse_.currentX = x;
    v->mouse_.currentY = y;
    if (v->focus_) v->focus_->MouseUp(&v->mouse_);
}

bool XView::DoubleClickAt(int x, int y)
{
    XView* v = InnermostAt(x, y);
    v->focus_ = nullptr;
    int px = x;
    int py = y;
    for (XControl* c = v->ChildAt(px, py); c;) {
        if (c->DoubleClick(px, py)) {
            v->focus_ = c;
            return true;
        }
        px -= c->X() - c->OriginX();
        py -= c->Y() - c->OriginY();
        c = c->ChildAt(px, py);
    }
    return false;
}

void XView::WheelAt(int x, int y, int dx, int dy)
{
    XView* v = InnermostAt(x, y);
    int px = x;
    int py = y;
    for (XControl* c = v->ChildAt(px, py); c;) {
        if (c->Wheel(px, py, dx, dy)) return;
        px -= c->X() - c->OriginX();
        py -= c->Y() - c->OriginY();
        c = c->ChildAt(px, py);
    }
}

void XView::ClickButton(XControl* button)
{
    XMouse mouse;
    button->MouseDown(&mouse);
    button->MouseUp(&mouse);
}

bool XView::KeyPress(XKey* key)
{
    if (!key) return false;
    XView* v = Innermost();
    if (v->focus_ && v->focus_->KeyDown(key)) return true;
    if (key->code == kKeyEnter) {
        if (v->defaultButton_) {
            v->ClickButton(v->defaultButton_);
        } else if (v->dialog_) {
            v->Close(1);
        }
        return true;
    }
    if (key->code == kKeyEscape) {
        if (v->cancelButton_) {
            v->ClickButton(v->cancelButton_);
        } else if (v->dialog_) {
            v->Close(0);
        }
        return true;
    }
    return v->KeyDown(key);
}

// --- The tick

void XView::DrainQueue()
{
    // Only what is waiting now: what a handler posts to its own view waits for the next tick.
    XEvent event;
    for (std::uint32_t n = Queue().Pending(); n > 0 && NextEvent(event); --n) HandleEvent(&event);
}

bool XView::Idle(std::uint32_t tick)
{
    XView* v = this;
    for (;;) {
        v->Tick(tick);
        v->DrainQueue();
        XView* p = v->popup_.get();
        if (!p) break;
        if (!p->closeRequested_) {
            v = p;
            continue;
        }
        p->focus_ = p->hovered_ = nullptr;
        std::unique_ptr<XView> closing = std::move(v->popup_);
        Invalidate();
        NotifyGone(closing.get());
        v->PopupClosed(closing.get());
        closing.reset();
        // The owner may have shown another popup from PopupClosed; waiting ones come after it.
        if (!v->popup_ && !v->pending_.empty()) {
            v->popup_ = std::move(v->pending_.front());
            v->pending_.pop_front();
            v->popup_->Invalidate();
        }
        if (!v->popup_) return true;
    }

    XView* w = v;
    if (w->focus_ && tick % 10 == 0) {
        if (w->focus_->IsDeleted()) {
            w->focus_ = nullptr;
        } else {
            w->blinkPhase_ ^= 1;
            w->focus_->Blink(w->blinkPhase_);
        }
    }
    if (w->hovered_ && tick > 30) {
        if (w->hovered_->IsDeleted()) {
            w->hovered_ = nullptr;
        } else {
            w->hovered_->Hover(w->lastX_, w->lastY_);
        }
    }
    return IsDirty() || IsChildDirty() || dragMoved_;
}

void XView::ControlGone(XControl* gone)
{
    if (!gone) return;
    if (gone->Contains(focus_)) {
        // The press it held (the capture) ends with it.
        focus_ = nullptr;
        buttonDown_ = false;
    }
    if (gone->Contains(hovered_)) hovered_ = nullptr;
    if (gone->Contains(defaultButton_)) defaultButton_ = nullptr;
    if (gone->Contains(cancelButton_)) cancelButton_ = nullptr;
    if (dragger_) dragger_->Forget(gone);
}

// --- Drawing above the tree

void XView::DrawPopup(XGraphic* g, int px, int py)
{
    XView* p = popup_.get();
    if (!p || !p->IsVisible() || p->Width() <= 0 || p->Height() <= 0) return;
    const int ax = px + p->X() - p->OriginX();
    const int ay = py + p->Y() - p->OriginY();
    const XRect rect = XRect::FromSize(ax, ay, p->Width(), p->Height());
    const XRect clip = rect.Intersect(g->SurfaceRect());
    p->ClearDirtyFlags();
    if (clip.IsEmpty()) return;
    g->SetClip(rect, clip);
    p->Draw(g);
    p->SetDrawnFlag(true);
    const XColor frame = p->GetColor(3);
    const XRect bounds = XRect::FromSize(0, 0, p->Width(), p->Height());
    g->Frame(bounds, frame);
    g->Frame(bounds.Inflated(-1), frame);
    p->DrawChildren(g, true, ax, ay, clip);
    p->DrawPopup(g, ax, ay);
}

void XView::DrawBelow(XGraphic* g)
{
    EraseDragImage(g);
}

void XView::DrawAbove(XGraphic* g)
{
    DrawPopup(g, 0, 0);
    PaintDragImage(g);
    dragMoved_ = false;
}

void XView::SetDragImage(std::vector<std::uint32_t> pixels, std::vector<std::uint8_t> alpha,
                         const XRect& rect, std::vector<XRect> textAreas)
{
    const std::int64_t area = std::int64_t {std::max(rect.Width(), 0)} * std::max(rect.Height(), 0);
    if (area <= 0 || static_cast<std::int64_t>(pixels.size()) != area ||
        (!alpha.empty() && alpha.size() != pixels.size())) {
        ClearDragImage();
        return;
    }
    dragPixels_ = std::move(pixels);
    dragAlpha_ = std::move(alpha);
    if (dragAlpha_.empty()) dragAlpha_.assign(dragPixels_.size(), 255);
    dragTextAreas_ = std::move(textAreas);
    dragRect_ = rect;
    dragMoved_ = true;
}

void XView::MoveDragImage(int x, int y)
{
    if (dragPixels_.empty()) return;
    if (x == dragRect_.left && y == dragRect_.top) return;
    dragRect_ = XRect::FromSize(x, y, dragRect_.Width(), dragRect_.Height());
    dragMoved_ = true;
}

void XView::ClearDragImage()
{
    if (dragPixels_.empty()) return;
    dragPixels_.clear();
    dragMoved_ = true;
}

void XView::EraseDragImage(XGraphic* g)
{
    if (underPixels_.empty()) return;
    // A surface of another size was cleared and is drawn in full anyway.
    if (g->Width() == underSurfaceWidth_ && g->Height() == underSurfaceHeight_) {
        const XPic under = XPic::FromPixels(underRect_.Width(), underRect_.Height(), underPixels_);
        g->SetClip(g->SurfaceRect(), g->SurfaceRect());
        g->DrawPic(under, underRect_.left, underRect_.top);
    }
    underPixels_.clear();
}

void XView::PaintDragImage(XGraphic* g)
{
    if (dragPixels_.empty()) return;
    const XRect area = dragRect_.Intersect(g->SurfaceRect());
    if (area.IsEmpty()) return;
    const int w = area.Width();
    const int h = area.Height();
    const int imageWidth = dragRect_.Width();
    underPixels_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::vector<std::uint32_t> shown(underPixels_.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                  static_cast<std::size_t>(x);
            const std::uint32_t below = g->PixelAt(area.left + x, area.top + y);
            const std::size_t source = static_cast<std::size_t>(area.top + y - dragRect_.top) *
                                           static_cast<std::size_t>(imageWidth) +
                                       static_cast<std::size_t>(area.left + x - dragRect_.left);
            const std::uint32_t image = dragPixels_[source] & 0xFFFFFF;
            underPixels_[i] = below;
            // At most three quarters image over what lies below: the image is seen as dragged.
            const std::uint32_t weight = dragAlpha_[source] * 3u / 4u;
            std::uint32_t mixed = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const std::uint32_t a = (image >> shift) & 0xFF;
                const std::uint32_t b = (below >> shift) & 0xFF;
                mixed |= ((a * weight + b * (255 - weight) + 127) / 255) << shift;
            }
            shown[i] = mixed;
        }
    }
    underRect_ = area;
    underSurfaceWidth_ = g->Width();
    underSurfaceHeight_ = g->Height();
    const XPic picture = XPic::FromPixels(w, h, shown);
    g->SetClip(g->SurfaceRect(), g->SurfaceRect());
    g->DrawPic(picture, area.left, area.top);
    for (const XRect& text : dragTextAreas_)
        g->NoteTextArea(text.Offsetted(dragRect_.left, dragRect_.top).Intersect(area));
}
