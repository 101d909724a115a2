// A list of text rows with optional icons: single or multiple selection, and drag and drop of
// the selected rows when the owner gives it a payload. Rows are 18 pixels high; the list grows
// with its items and sits in a view port, which shows the part in view. Only the rows inside
// the drawing clip are drawn, so long lists stay cheap.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"
#include "gui/XDragger.h"
#include "gui/XPic.h"

class XList : public XControl, public XBroadcaster, public XDragger {
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kTop = 4;
    static constexpr int kMaxIcons = 64;
    static constexpr int kDragDistance = 3;

    enum ItemFlag : std::uint32_t { kSelected = 1, kHidden = 2 };

    struct Item {
        std::int32_t key = 0;
        std::uint32_t flags = 0;
        std::int32_t data = 0;
        std::string text;
    };

    XList(int x, int y, int width, int height);

    // Appends an item and grows the list to 18 x rows + 4; returns its index.
    int AddItem(std::string_view text, std::int32_t key = 0, std::int32_t data = 0);
    void RemoveItem(int index);
    // Removes every item; the list becomes 10 pixels high.
    void Clear();
    int ItemCount() const { return static_cast<int>(items_.size()); }
    // Null outside the list.
    const Item* GetItem(int index) const;
    void SetItemText(int index, std::string_view text);
    void SetHidden(int index, bool hidden);

    // The icon drawn for items with this key (up to 64 keys; a picture that is not loaded
    // removes the key's icon).
    bool SetIcon(std::int32_t key, const XPic& pic);
    bool SetIcon(std::int32_t key, std::string_view pictureName);

    void SetMultiSelect(bool on) { multiSelect_ = on; }
    bool IsMultiSelect() const { return multiSelect_; }
    bool IsSelected(int index) const;
    // Selects only this item (-1 clears the selection); no broadcast.
    void Select(int index);
    void SetSelected(int index, bool on);
    void ClearSelection();
    // The first selected item, -1 when none.
    int SelectedIndex() const;
    int SelectedCount() const;

    // The item at a point in the list's coordinates, -1 for none.
    int ItemAt(int x, int y) const;
    // The top of the item's row, -1 when it is hidden or out of range.
    int RowTop(int index) const;

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;
    void ControlGone(XControl* gone) override { Forget(gone); }
    void DrawDragImage(XGraphic* g) override;

    // How many rows the last Draw painted (tests check that long lists draw only what shows).
    int RowsDrawn() const { return rowsDrawn_; }

private:
    void Rebuild();
    void Changed();

    std::vector<Item> items_;
    // Indices of the items that take a row, in order.
    std::vector<int> rows_;
    std::map<std::int32_t, XPic> icons_;
    bool multiSelect_ = false;
    int anchor_ = -1;
    bool pressed_ = false;
    int rowsDrawn_ = 0;
};
