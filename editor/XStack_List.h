// The stack editor's layer map: a row of 18 pixels per layer with a bar over the keys that the
// layer plays (key low + offset to key high + offset, on the geometry of XStack_Keyb). A press
// on a bar selects its row; dragging the bar's middle moves the layer (whole octaves, single
// keys with shift), dragging an end moves that end of its key range; a double-click puts the
// layer back on the program's own keys. Every change and selection is broadcast (ListNotify)
// with the selected row, -1 for none.
//
// Rows remember their layer by serial; each edit goes through the tone's locked editing, so a
// layer that the loader took out meanwhile is simply dropped from the map.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"

class GigaToneEdit;
class GigaPart;

class XStack_List : public XControl, public XBroadcaster {
public:
    static constexpr int kRowHeight = 18;
    // Presses this close to a bar's end take that end.
    static constexpr int kEdgeGrip = 5;
    // Pixels per key for edges and fine moves; per octave for coarse moves.
    static constexpr int kPixelsPerKey = 6;
    static constexpr int kPixelsPerOctave = 70;

    enum DragMode { kLowerEdge = -1, kMove = 0, kUpperEdge = 1 };

    struct Row {
        std::uint32_t serial = 0;
        std::string name;
        int keyLow = 0;
        int keyHigh = 0;
        int keyOffset = 0;
        int barLeft = 0;
        int barRight = 0;  // one past the bar's last pixel
    };

    XStack_List(int x, int y, int width, GigaToneEdit& tone);

    // Takes the rows anew from the tone's staying layers; keeps the selection when it still
    // names a row.
    void Reload();
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const Row& RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int Selected() const { return selected_; }
    // The played keys of all rows: lowest from 127 down, highest from 0 up.
    int LowestKey() const;
    int HighestKey() const;

    // The drag arithmetic (start value s, pointer moved by dx pixels): the new key offset, key
    // low or key high. Every result keeps the layer's keys within 0..127.
    static int MovedOffset(int start, int dx, bool fine, int keyLow, int keyHigh);
    static int DraggedLow(int start, int dx, int keyOffset, int keyHigh);
    static int DraggedHigh(int start, int dx, int keyOffset, int keyLow);

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;
    bool DoubleClick(int x, int y) override;

private:
    void Select(int row);
    // Runs the edit on the selected row's layer and takes the row's keys back from it.
    template <typename Edit>
    void EditSelected(Edit&& edit);
    void PlaceBar(Row& row) const;
    int BarAt(int x, int y) const;

    GigaToneEdit& tone_;
    std::vector<Row> rows_;
    int selected_ = -1;
    int dragMode_ = kMove;
    int dragStart_ = 0;
    bool dragging_ = false;
};
