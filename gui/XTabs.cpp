#include "gui/XTabs.h"

#include <algorithm>

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

namespace {

constexpr XColor kSelected(124, 168, 255, 255);
constexpr XColor kNormal(180, 180, 200, 255);
constexpr XColor kBevel(255, 255, 255, 255);
constexpr XColor kBevelInner(229, 229, 229, 255);
constexpr int kMaxTabWidth = 1 << 16;

}  // namespace

XTabs::XTabs() : XTabs(0, 0, 0, 0) {}

XTabs::XTabs(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor(40, 42, 50, 255));
    SetColor(2, XColor(0, 0, 0, 255));
    SetColor(3, XColor(80, 80, 90, 255));
}

int XTabs::AddTab(std::string_view name, int width)
{
    if (TabCount() >= kMaxTabs) return -1;
    Tab tab;
    tab.name = std::string(name.substr(0, XControl::kMaxText));
    tab.width = std::clamp(width, 1, kMaxTabWidth);
    tabs_.push_back(std::move(tab));
    Invalidate();
    return TabCount() - 1;
}

void XTabs::ClearTabs()
{
    tabs_.clear();
    selected_ = 0;
    scroll_ = 0;
    draggingThumb_ = false;
    Invalidate();
}

std::string_view XTabs::TabName(int index) const
{
    if (index < 0 || index >= TabCount()) return {};
    return tabs_[index].name;
}

void XTabs::SetTabEnabled(int index, bool enabled)
{
    if (index < 0 || index >= TabCount()) return;
    if (tabs_[index].disabled == !enabled) return;
    tabs_[index].disabled = !enabled;
    Invalidate();
}

bool XTabs::IsTabEnabled(int index) const
{
    return index >= 0 && index < TabCount() && !tabs_[index].disabled;
}

void XTabs::SetTab(int index)
{
    if (index < 0 || index >= TabCount() || index == selected_) return;
    selected_ = index;
    Invalidate();
    XBroadcaster::TabChanged(this, index);
}

int XTabs::TotalWidth() const
{
    int total = 0;
    for (const Tab& tab : tabs_) total += tab.width;
    return total;
}

int XTabs::TabRowHeight() const
{
    return HasStrip() ? std::max(0, Height() - kStripHeight) : Height();
}

void XTabs::SetScrollOffset(int offset)
{
    const int limit = std::max(0, TotalWidth() - Width());
    offset = std::clamp(offset, 0, limit);
    if (offset == scroll_) return;
    scroll_ = offset;
    Invalidate();
}

XRect XTabs::StripThumb() const
{
    const int total = TotalWidth();
    if (total <= Width() || Width() <= 0) return XRect(0, 0, -1, -1);
    const int width = std::max(8, static_cast<int>(static_cast<double>(Width()) * Width() / total));
    const int room = std::max(0, Width() - width);
    const int limit = total - Width();
    const int left = static_cast<int>(static_cast<double>(scroll_) * room / limit);
    return XRect::FromSize(left, Height() - kStripHeight + 1, width, kStripHeight - 2);
}

int XTabs::TabAt(int x, int y) const
{
    if (y < 0 || y >= TabRowHeight() || x < 0 || x >= Width()) return -1;
    int left = -scroll_;
    for (int i = 0; i < TabCount(); ++i) {
        if (x >= left && x < left + tabs_[i].width) return i;
        left += tabs_[i].width;
    }
    return -1;
}

bool XTabs::MouseDown(XMouse* mouse)
{
    const int x = mouse->LocalPressX();
    const int y = mouse->LocalPressY();
    if (HasStrip() && y >= TabRowHeight()) {
        const XRect thumb = StripThumb();
        if (x >= thumb.left && x <= thumb.right) {
            draggingThumb_ = true;
            pressScroll_ = scroll_;
            Invalidate();
            return true;
        }
        return false;
    }
    const int tab = TabAt(x, y);
    if (tab >= 0 && !tabs_[tab].disabled) SetTab(tab);
    return false;
}

void XTabs::MouseDrag(XMouse* mouse)
{
    if (!draggingThumb_) return;
    const XRect thumb = StripThumb();
    if (thumb.IsEmpty()) return;
    // The thumb is to the strip what the bar is to all tabs.
    const double scale = static_cast<double>(Width()) / thumb.Width();
    const double moved = static_cast<double>(mouse->currentX - mouse->pressX) * scale;
    SetScrollOffset(static_cast<int>(std::clamp(pressScroll_ + moved, 0.0, 1.0 * kMaxCoordinate)));
}

void XTabs::MouseUp(XMouse* mouse)
{
    if (!draggingThumb_) return;
    draggingThumb_ = false;
    Invalidate();
}

void XTabs::Draw(XGraphic* g)
{
    XControl::Draw(g);
    const int rowHeight = TabRowHeight();
    g->SetFont(xcode::kFontDefault);
    int left = -scroll_;
    for (int i = 0; i < TabCount() && left < Width(); ++i) {
        const Tab& tab = tabs_[i];
        const int width = tab.width;
        if (left + width > 0) {
            const bool selected = i == selected_ && IsEnabled();
            const XRect r =
                XRect::FromSize(left, selected ? 0 : 2, width - 1, rowHeight - (selected ? 0 : 2));
            g->Gloss(r, selected ? kSelected : kNormal);
            g->SetPen(kBevel);
            g->Line(r.left, r.bottom, r.left, r.top);
            g->Line(r.left, r.top, r.right - 1, r.top);
            g->SetPen(kBevelInner);
            g->Line(r.left + 1, r.bottom, r.left + 1, r.top + 1);
            g->SetPen(kBevel.Scaled(0.35f));
            g->Line(r.right, r.top, r.right, r.bottom);
            g->SetTextColor(tab.disabled ? XColor(120, 120, 130, 255) : GetColor(2));
            g->TextCentered(tab.name, r.left, r.top, r.Width(), r.Height(), 0);
        }
        left += width;
    }
    if (HasStrip()) {
        const XRect strip = XRect::FromSize(0, Height() - kStripHeight, Width(), kStripHeight);
        g->SetFillColor(XColor(20, 20, 24, 255));
        g->FillRect(strip.left, strip.top, strip.Width(), strip.Height());
        g->Frame(strip, GetColor(3));
        const XRect thumb = StripThumb();
        g->BevelRect(thumb, draggingThumb_ ? kSelected : XColor(100, 120, 160, 255), 1);
    }
}
