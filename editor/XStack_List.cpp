#include "editor/XStack_List.h"

#include <algorithm>

#include "editor/XStack_Keyb.h"
#include "engine/GigaToneEdit.h"
#include "gui/XGraphic.h"
#include "gui/XMouse.h"

namespace {

constexpr int kTopKey = XStack_Keyb::kKeys - 1;

constexpr XColor kBackground {34, 36, 44};
constexpr XColor kGrid {46, 49, 60};
constexpr XColor kOctaveGrid {66, 70, 86};
constexpr XColor kBar {84, 120, 186};
constexpr XColor kBarSelected {236, 170, 84};
constexpr XColor kBarFrame {20, 22, 28};
constexpr XColor kBarText {16, 16, 20};
constexpr XColor kOutsideText {210, 214, 226};

// What a row calls its layer: the program's name, or the file's while it is not loaded.
std::string RowName(const GigaLayerFacts& layer)
{
    if (!layer.programName.empty()) return layer.programName;
    const std::size_t slash = layer.bankPath.find_last_of("/\\");
    return slash == std::string::npos ? layer.bankPath : layer.bankPath.substr(slash + 1);
}

}  // namespace

XStack_List::XStack_List(int x, int y, int width, GigaToneEdit& tone)
    : XControl(x, y, width, 0), XBroadcaster(kList), tone_(tone)
{
    SetColor(0, kBackground);
    Reload();
    SetSize(width, RowCount() * kRowHeight);
}

void XStack_List::Reload()
{
    const GigaToneFacts facts = tone_.Facts();
    const std::uint32_t selectedSerial = selected_ >= 0 ? RowAt(selected_).serial : 0;
    rows_.clear();
    selected_ = -1;
    for (const GigaLayerFacts& layer : facts.layers) {
        if (layer.leaving) continue;
        Row row;
        row.serial = layer.serial;
        row.name = RowName(layer);
        row.keyLow = layer.keyLow;
        row.keyHigh = layer.keyHigh;
        row.keyOffset = layer.keyOffset;
        PlaceBar(row);
        if (row.serial == selectedSerial) selected_ = RowCount();
        rows_.push_back(std::move(row));
    }
    Invalidate();
}

int XStack_List::LowestKey() const
{
    int lowest = kTopKey;
    for (const Row& row : rows_) lowest = std::min(lowest, row.keyLow + row.keyOffset);
    return lowest;
}

int XStack_List::HighestKey() const
{
    int highest = 0;
    for (const Row& row : rows_) highest = std::max(highest, row.keyHigh + row.keyOffset);
    return highest;
}

int XStack_List::MovedOffset(int start, int dx, bool fine, int keyLow, int keyHigh)
{
    int offset = fine ? start + dx / kPixelsPerKey : start + dx / kPixelsPerOctave * 12;
    offset = std::max(offset, -keyLow);
    offset = std::min(offset, kTopKey - keyHigh);
    // Coarse moves keep whole octaves; towards 0, which always lies within the limits above.
    if (!fine) offset = offset / 12 * 12;
    return offset;
}

int XStack_List::DraggedLow(int start, int dx, int keyOffset, int keyHigh)
{
    const int key = std::max(0, start + dx / kPixelsPerKey) - keyOffset;
    return std::max(0, std::min(key, keyHigh - 1));
}

int XStack_List::DraggedHigh(int start, int dx, int keyOffset, int keyLow)
{
    const int key = std::min(kTopKey, start + dx / kPixelsPerKey) - keyOffset;
    return std::min(kTopKey, std::max(key, keyLow + 1));
}

void XStack_List::PlaceBar(Row& row) const
{
    row.barLeft = XStack_Keyb::KeyLeft(row.keyLow + row.keyOffset);
    row.barRight = XStack_Keyb::KeyRight(row.keyHigh + row.keyOffset);
}

int XStack_List::BarAt(int x, int y) const
{
    if (y < 0) return -1;
    const int row = y / kRowHeight;
    if (row >= RowCount()) return -1;
    const Row& r = RowAt(row);
    return x >= r.barLeft && x < r.barRight ? row : -1;
}

void XStack_List::Select(int row)
{
    selected_ = row;
    Invalidate();
    Broadcast(this, selected_);
}

template <typename Edit>
void XStack_List::EditSelected(Edit&& edit)
{
    if (selected_ < 0) return;
    Row& row = rows_[static_cast<std::size_t>(selected_)];
    bool changed = false;
    const bool found = tone_.EditLayerBySerial(row.serial, [&](GigaPart& layer) {
        changed = edit(layer);
        row.keyLow = layer.keyLow;
        row.keyHigh = layer.keyHigh;
        row.keyOffset = layer.keyOffset;
    });
    if (!found) {
        Reload();
        Broadcast(this, selected_);
        return;
    }
    if (!changed) return;
    PlaceBar(row);
    Invalidate();
    Broadcast(this, selected_);
}

bool XStack_List::MouseDown(XMouse* mouse)
{
    dragging_ = false;
    const int x = mouse->LocalPressX();
    const int row = BarAt(x, mouse->LocalPressY());
    if (row < 0) {
        if (selected_ != -1) Select(-1);
        return false;
    }
    const Row& r = RowAt(row);
    if (x < r.barLeft + kEdgeGrip) {
        dragMode_ = kLowerEdge;
        dragStart_ = r.keyOffset + r.keyLow;
    } else if (x >= r.barRight - kEdgeGrip) {
        dragMode_ = kUpperEdge;
        dragStart_ = r.keyOffset + r.keyHigh;
    } else {
        dragMode_ = kMove;
        dragStart_ = r.keyOffset;
    }
    dragging_ = true;
    Select(row);
    return true;
}

void XStack_List::MouseDrag(XMouse* mouse)
{
    if (!dragging_) return;
    const int dx = mouse->LocalX() - mouse->LocalPressX();
    const bool fine = mouse->shift;
    EditSelected([&](GigaPart& layer) {
        const int low = layer.keyLow;
        const int high = layer.keyHigh;
        const int offset = layer.keyOffset;
        if (dragMode_ == kMove) {
            const int moved = MovedOffset(dragStart_, dx, fine, low, high);
            if (moved == offset) return false;
            layer.keyOffset = moved;
        } else if (dragMode_ == kLowerEdge) {
            const int key = DraggedLow(dragStart_, dx, offset, high);
            if (key == low || key >= high) return false;
            layer.keyLow = key;
        } else {
            const int key = DraggedHigh(dragStart_, dx, offset, low);
            if (key == high || key <= low) return false;
            layer.keyHigh = key;
        }
        return true;
    });
}

void XStack_List::MouseUp(XMouse*)
{
    dragging_ = false;
}

bool XStack_List::DoubleClick(int x, int y)
{
    const int row = BarAt(x - X(), y - Y());
    if (row < 0) return false;
    dragging_ = false;
    if (row != selected_) Select(row);
    EditSelected([](GigaPart& layer) {
        // Only a loaded program knows its keys.
        if (layer.state != GigaPart::kLoaded) return false;
        const bool changed = layer.keyOffset != 0 || layer.keyLow != layer.programKeyLow ||
                             layer.keyHigh != layer.programKeyHigh;
        layer.keyOffset = 0;
        layer.keyLow = layer.programKeyLow;
        layer.keyHigh = layer.programKeyHigh;
        return changed;
    });
    return true;
}

void XStack_List::Draw(XGraphic* g)
{
    XControl::Draw(g);
    const int width = std::min(Width(), XStack_Keyb::kWidth);
    const int height = Height();
    for (int x = 0; x < width; x += XStack_Keyb::kWhiteWidth) {
        g->SetPen(x % XStack_Keyb::kOctaveWidth == 0 ? kOctaveGrid : kGrid);
        g->Line(x, 0, x, height - 1);
    }
    g->MakeFont(10, 0);
    for (int i = 0; i < RowCount(); ++i) {
        const Row& row = RowAt(i);
        const int top = i * kRowHeight;
        g->SetPen(kGrid);
        g->Line(0, top + kRowHeight - 1, width - 1, top + kRowHeight - 1);
        const XRect bar(row.barLeft, top + 2, row.barRight - 1, top + kRowHeight - 4);
        g->BevelRect(bar, i == selected_ ? kBarSelected : kBar, 1);
        g->Frame(bar, kBarFrame);
        // The name inside the bar when it fits, else beside it.
        const int textWidth = g->TextSize(row.name).Width();
        const bool inside = textWidth + 8 <= row.barRight - row.barLeft;
        const bool after = row.barRight + 4 + textWidth <= width;
        g->SetTextColor(inside ? kBarText : kOutsideText);
        const int textX = inside  ? row.barLeft + 4
                          : after ? row.barRight + 4
                                  : row.barLeft - 4 - textWidth;
        g->TextCentered(row.name, textX - 4, top, textWidth + 8, kRowHeight - 1, -1);
    }
}
