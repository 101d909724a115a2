#include "gui/XScrollBar.h"

#include <algorithm>

#include "gui/XGraphic.h"
#include "gui/XViewPort.h"

namespace {

constexpr XColor kArrowColor(240, 240, 240, 255);
// The track runs between the two 16-pixel ends, whatever the arrows' size.
constexpr int kEnd = 16;
constexpr int kMinThumb = 10;

// A small triangle pointing up, down, left or right, centred in the rectangle.
void Arrow(XGraphic* g, const XRect& r, int direction)
{
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        switch (direction) {
            case 0:
                g->Line(cx - i, cy - 2 + i, cx + i, cy - 2 + i);
                break;  // up
            case 1:
                g->Line(cx - i, cy + 1 - i, cx + i, cy + 1 - i);
                break;  // down
            case 2:
                g->Line(cx - 2 + i, cy - i, cx - 2 + i, cy + i);
                break;  // left
            default:
                g->Line(cx + 1 - i, cy - i, cx + 1 - i, cy + i);
                break;  // right
        }
    }
}

}  // namespace

XScrollBar::XScrollBar(XViewPort* port) : port_(port)
{
    SetColor(0, XColor(0, 0, 0, 255));
    SetColor(1, XColor(100, 120, 160, 255));
    SetColor(3, XColor(80, 80, 80, 255));
}

int XScrollBar::ContentLength() const
{
    const XControl* content = port_ ? port_->Content() : nullptr;
    if (!content) return 0;
    return vertical_ ? content->Height() : content->Width();
}

int XScrollBar::Scroll() const
{
    if (!port_) return 0;
    return vertical_ ? port_->GetScrollY() : port_->GetScrollX();
}

void XScrollBar::ScrollBy(int command, int value)
{
    if (!port_) return;
    if (vertical_) {
        port_->ScrollY(command, value);
    } else {
        port_->ScrollX(command, value);
    }
}

void XScrollBar::UpdateGeometry()
{
    vertical_ = Width() < Height();
    const int length = std::max(Width(), Height());
    const int across = vertical_ ? Width() : Height();
    const int arrow = vertical_ ? 12 : 16;
    const int content = ContentLength();

    double track = length - 2 * kEnd;
    double thumb = track;
    if (content > 0) thumb = std::min(track, static_cast<double>(length) / content * track);
    if (thumb < kMinThumb) {
        // The track gives up what the thumb needs beyond its share.
        track -= kMinThumb - thumb;
        thumb = kMinThumb;
    }
    double start = kEnd;
    if (content > 0) start += static_cast<double>(Scroll()) / content * track;
    const int first = static_cast<int>(start);
    const int last = std::max(first, std::min(static_cast<int>(start + thumb), length - kEnd));

    if (vertical_) {
        lineBack_ = XRect(0, 0, across - 1, arrow - 1);
        lineForward_ = XRect(0, length - arrow, across - 1, length - 1);
        thumb_ = XRect(1, first, across - 2, last - 1);
    } else {
        lineBack_ = XRect(0, 0, arrow - 1, across - 1);
        lineForward_ = XRect(length - arrow, 0, length - 1, across - 1);
        thumb_ = XRect(first, 1, last - 1, across - 2);
    }
}

int XScrollBar::PartAt(int x, int y)
{
    UpdateGeometry();
    if (lineBack_.Contains(x, y)) return kLineBack;
    if (lineForward_.Contains(x, y)) return kLineForward;
    const int along = vertical_ ? y : x;
    const int first = vertical_ ? thumb_.top : thumb_.left;
    const int last = vertical_ ? thumb_.bottom : thumb_.right;
    if (along < first) return kPageBack;
    if (along > last) return kPageForward;
    return kThumb;
}

bool XScrollBar::MouseDown(XMouse* mouse)
{
    pressed_ = PartAt(mouse->LocalPressX(), mouse->LocalPressY());
    if (pressed_ == kThumb) {
        pressValue_ = Scroll();
    } else {
        ScrollBy(pressed_, 0);
    }
    Invalidate();
    return true;
}

void XScrollBar::MouseDrag(XMouse* mouse)
{
    if (pressed_ != kThumb) return;
    const int length = std::max(Width(), Height());
    const int span = length - 35;
    if (span <= 0) return;
    const int moved = vertical_ ? mouse->currentY - mouse->pressY : mouse->currentX - mouse->pressX;
    const double value = pressValue_ + static_cast<double>(moved) * ContentLength() / span;
    ScrollBy(XViewPort::kAbsolute,
             static_cast<int>(std::clamp(value, -1.0 * XControl::kMaxCoordinate,
                                         1.0 * XControl::kMaxCoordinate)));
}

void XScrollBar::MouseUp(XMouse* mouse)
{
    if (pressed_ != kNone && pressed_ != kThumb) Invalidate();
    pressed_ = kNone;
}

void XScrollBar::Draw(XGraphic* g)
{
    UpdateGeometry();
    XControl::Draw(g);
    g->Frame(XRect::FromSize(0, 0, Width(), Height()), GetColor(3));

    const XColor fill = GetColor(1);
    auto box = [&](const XRect& r, bool pressed) {
        g->BevelRect(r.Inflated(-1), pressed ? fill.Scaled(0.75f) : fill, 1);
    };
    box(lineBack_, pressed_ == kLineBack);
    box(lineForward_, pressed_ == kLineForward);
    g->SetPen(kArrowColor);
    Arrow(g, lineBack_, vertical_ ? 0 : 2);
    Arrow(g, lineForward_, vertical_ ? 1 : 3);
    if (!thumb_.IsEmpty()) g->BevelRect(thumb_, pressed_ == kThumb ? fill.Scaled(1.2f) : fill, 1);
}
