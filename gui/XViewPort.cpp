#include "gui/XViewPort.h"

#include <algorithm>

#include "gui/XGraphic.h"
#include "gui/XScrollBar.h"
#include "gui/XScrollView.h"

XViewPort::XViewPort() = default;

XViewPort::XViewPort(int x, int y, int width, int height) : XControl(x, y, width, height) {}

void XViewPort::AttachContent(std::unique_ptr<XControl> content, bool horizontal, bool vertical)
{
    if (scrollView_) scrollView_->Remove();
    if (hBar_) hBar_->Remove();
    if (vBar_) vBar_->Remove();
    scrollView_ = nullptr;
    content_ = nullptr;
    hBar_ = vBar_ = nullptr;
    scrollX_ = scrollY_ = 0;

    const int w = Width();
    const int h = Height();
    scrollView_ =
        AddChild(std::make_unique<XScrollView>(this), 1, 1, std::max(w - 2, 1), std::max(h - 2, 1));
    if (vertical) {
        vBar_ = MakeBar(true);
        vBar_->SetBounds(w - kBarWidth, 0, kBarWidth, h);
    }
    if (horizontal) {
        hBar_ = MakeBar(false);
        hBar_->SetBounds(0, h - kBarWidth, w, kBarWidth);
    }
    if (content) {
        content_ = content.get();
        content_->SetOrigin(0, 0);
        scrollView_->Adopt(std::move(content));
        content_->SetRedirect(this);
    }
    // The content may already have its final size; nothing else would show the bars.
    Layout();
}

XScrollBar* XViewPort::MakeBar(bool vertical)
{
    auto bar = std::make_unique<XScrollBar>(this);
    bar->SetColor(0, GetColor(0));
    bar->SetColor(3, GetColor(3));
    XScrollBar* raw = Adopt(std::move(bar));
    raw->Hide();
    return raw;
}

void XViewPort::SetLineSteps(int x, int y)
{
    lineX_ = std::max(x, 1);
    lineY_ = std::max(y, 1);
}

namespace {

int Scrolled(int command, int value, int current, int line, int page)
{
    switch (command) {
        case XViewPort::kAbsolute:
            return value;
        case XViewPort::kLineForward:
            return current + line;
        case XViewPort::kLineBack:
            return current - line;
        case XViewPort::kPageForward:
            return current + page;
        case XViewPort::kPageBack:
            return current - page;
        default:
            return 0;
    }
}

}  // namespace

void XViewPort::ScrollX(int command, int value)
{
    const int page = scrollView_ ? scrollView_->Width() : 0;
    SetScrollX(Scrolled(command, value, scrollX_, lineX_, page));
}

void XViewPort::ScrollY(int command, int value)
{
    const int page = scrollView_ ? scrollView_->Height() : 0;
    SetScrollY(Scrolled(command, value, scrollY_, lineY_, page));
}

void XViewPort::SetScrollX(int value)
{
    int most = 0;
    if (content_ && scrollView_) most = std::max(content_->Width() - scrollView_->Width(), 0);
    value = std::clamp(value, 0, most);
    if (value == scrollX_) return;
    scrollX_ = value;
    if (content_) content_->SetOrigin(scrollX_, scrollY_);
    Invalidate();
}

void XViewPort::SetScrollY(int value)
{
    int most = 0;
    if (content_ && scrollView_) most = std::max(content_->Height() - scrollView_->Height(), 0);
    value = std::clamp(value, 0, most);
    if (value == scrollY_) return;
    scrollY_ = value;
    if (content_) content_->SetOrigin(scrollX_, scrollY_);
    Invalidate();
}

void XViewPort::Layout()
{
    if (inLayout_ || !scrollView_ || !content_) return;
    inLayout_ = true;
    const int w = Width();
    const int h = Height();
    const int cw = content_->Width();
    const int ch = content_->Height();
    bool vertical = vBar_ && h - 1 < ch;
    bool horizontal = hBar_ && w - 1 < cw;
    if (vertical != horizontal) {
        // The one bar takes space from the other direction.
        if (horizontal) {
            vertical = vBar_ && h - 18 < ch;
        } else {
            horizontal = hBar_ && w - 18 < cw;
        }
    }
    const int viewWidth = std::max(vertical ? w - 18 : w - 2, 0);
    const int viewHeight = std::max(horizontal ? h - 18 : h - 2, 0);
    scrollView_->SetBounds(1, 1, viewWidth, viewHeight);
    if (hBar_) {
        if (horizontal) {
            hBar_->SetBounds(0, h - kBarWidth, viewWidth + 2, kBarWidth);
            hBar_->Show();
        } else {
            hBar_->Hide();
        }
    }
    if (vBar_) {
        if (vertical) {
            vBar_->SetBounds(w - kBarWidth, 0, kBarWidth, viewHeight + 2);
            vBar_->Show();
        } else {
            vBar_->Hide();
        }
    }
    // Re-clamped for the new sizes; without a bar in a direction the content sits at 0.
    SetScrollY(vertical ? content_->OriginY() : 0);
    SetScrollX(horizontal ? content_->OriginX() : 0);
    content_->SetSize(std::max(cw, viewWidth), std::max(ch, viewHeight));
    Invalidate();
    inLayout_ = false;
}

void XViewPort::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->Frame(XRect::FromSize(0, 0, Width(), Height()), GetColor(3));
    if (content_) content_->DrawHook(g);
}

bool XViewPort::Wheel(int x, int y, int dx, int dy)
{
    if (dx != 0) SetScrollX(scrollX_ - dx);
    if (dy != 0) SetScrollY(scrollY_ - dy);
    return true;
}

void XViewPort::Resized()
{
    Layout();
}

void XViewPort::ControlGone(XControl* gone)
{
    if (gone->Contains(content_)) content_ = nullptr;
    if (gone->Contains(scrollView_)) scrollView_ = nullptr;
    if (gone == hBar_) hBar_ = nullptr;
    if (gone == vBar_) vBar_ = nullptr;
}
