// A popup menu: the model (items, separators, submenus, each item with its command) and
// XMenuView, which draws one and lets the user choose. The view is an XView: a window backend
// shows it in a popup window of its own and feeds it the pointer, or a view shows it in the
// editor with ShowPopup. Either way the choice is posted to a reply queue (see XMenuHost.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/XView.h"

class XEventQueue;

class XMenu {
public:
    // Items past this count are refused (commands keep the index in 16 bits).
    static constexpr int kMaxItems = 1024;

    struct Entry {
        std::string text;
        std::int32_t command = 0;  // 0 for separators and submenus
        bool separator = false;
        bool enabled = true;
        bool checked = false;
        std::unique_ptr<XMenu> submenu;
    };

    // A top menu, id 0.
    XMenu();
    // Submenus are made by AddSubmenu only (the key cannot be named elsewhere).
    class Key {
        friend class XMenu;
        Key() = default;
    };
    XMenu(Key, XMenu* root, std::int32_t id);
    ~XMenu();
    XMenu(const XMenu&) = delete;
    XMenu& operator=(const XMenu&) = delete;

    // Appends an item; returns its command, (menu id << 16) + index + 1 (0 when refused).
    std::int32_t AddItem(std::string_view text);
    void AddSeparator();
    // Appends an entry that opens a child menu, which gets the next id of the whole menu.
    XMenu* AddSubmenu(std::string_view text);
    void SetEnabled(std::int32_t command, bool on);
    void SetChecked(std::int32_t command, bool on);

    std::int32_t Id() const { return id_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    // Null outside 0 .. Count() - 1.
    const Entry* At(int index) const;
    // The item of a command anywhere in this menu and its submenus; null when none.
    const Entry* Find(std::int32_t command) const;

    // Records a choice: false for commands that are no enabled item of the menu.
    bool Choose(std::int32_t command);
    std::int32_t ChosenMenu() const { return chosenMenu_; }
    int ChosenIndex() const { return chosenIndex_; }

private:
    bool Append(Entry entry);

    XMenu* root_;
    std::int32_t id_;
    std::int32_t nextId_ = 1;  // the top menu's counter
    std::vector<Entry> entries_;
    std::int32_t chosenMenu_ = -1;
    int chosenIndex_ = -1;
};

// One menu on screen. Submenus open in place: choosing a submenu entry shows its items under
// a row that leads back. The view is sized once for the largest level, at most `maxHeight`
// high; when the items do not fit, arrow strips at the top and bottom scroll them.
class XMenuView : public XView {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kSeparatorHeight = 9;
    static constexpr int kPad = 3;
    static constexpr int kStripHeight = 14;

    // Posts {code, command or 0, 0} to `reply` (may be null) once, when the user ends the menu.
    // A view closed from outside (replaced by another popup, its window destroyed) posts
    // nothing; hosts cancel with PressedOutside when they want the reply.
    XMenuView(std::unique_ptr<XMenu> menu, int maxHeight, XEventQueue* reply, std::int32_t code);
    ~XMenuView() override;

    // Shows the menu inside the editor as a popup of `owner`'s root view, with its top-left at
    // (x, y) in `owner`'s coordinates moved to fit the root; the reply goes to `owner`. For
    // windows without a menu host of their own. Null when `owner` is null.
    static XMenuView* ShowIn(XView* owner, std::unique_ptr<XMenu> menu, int x, int y,
                             std::int32_t code);

    // The pointer in the view's coordinates, from a window backend or the press forwarder.
    void PointerMoved(int x, int y);
    void PointerPressed(int x, int y);
    void PointerReleased(int x, int y);
    // A press outside the menu's window.
    void PressedOutside() { Finish(0); }
    // Rows; positive scrolls down.
    void ScrollBy(int rows);

    bool KeyDown(XKey* key) override;
    void Draw(XGraphic* g) override;

    const XMenu& Menu() const { return *menu_; }
    const XMenu& Level() const { return *level_; }
    int Highlighted() const { return highlight_; }
    int ScrollRow() const { return scroll_; }
    bool IsScrollable() const { return scrollable_; }
    bool IsFinished() const { return finished_; }

private:
    struct Line {
        int entry;  // -1 for the way back
        int top;    // in the level's unscrolled layout
        int height;
    };

    void Enter(const XMenu* level);
    void Layout();
    // The line under a point, -1 for none.
    int LineAt(int x, int y) const;
    int ContentTop() const;
    int ViewHeight() const;
    void Activate(int line);
    void MoveHighlight(int step);
    void Reveal(int line);
    void Finish(std::int32_t command);
    const XMenu* ParentOf(const XMenu* level) const;

    std::unique_ptr<XMenu> menu_;
    const XMenu* level_;
    XEventQueue* reply_;
    std::int32_t code_;
    std::vector<Line> lines_;
    int contentHeight_ = 0;
    int highlight_ = -1;
    int scroll_ = 0;  // pixels
    bool scrollable_ = false;
    bool pressed_ = false;
    bool finished_ = false;
};
