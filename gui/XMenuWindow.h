// A popup menu in a window of its own, the half every system shares: the menu's view, where it
// opens on the screen, its picture, and what the pointer and the keys do to it. The window
// backend implements System (the system's window: make it, show pixels in it, hold the pointer,
// take it down) and turns its window's events into the calls below; after each of them the
// menu is drawn anew, or closed once the user has ended it.
//
// All points are in the GUI's pixels: the backend scales the screen's on the way in and out.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/XGraphic.h"
#include "gui/XMenuHost.h"
#include "gui/XRect.h"

struct XInput;
class XMenuView;

class XMenuWindow final : public XMenuHost {
public:
    class System {
    public:
        virtual ~System() = default;
        // The part of the screen a menu must stay in; false when no menu can be shown now.
        virtual bool MenuArea(XRect& area) = 0;
        // Makes the menu's window at (x, y), width x height, shown over everything and holding
        // the pointer (and the keys where the system lets it); false when there is none.
        virtual bool OpenMenuWindow(int x, int y, int width, int height) = 0;
        // The menu's picture, width x height pixels, into its window at (0, 0).
        virtual void PutMenuPixels(const std::uint32_t* pixels, int width, int height) = 0;
        // Lets go of the pointer and takes the window down.
        virtual void CloseMenuWindow() = 0;
    };

    explicit XMenuWindow(System& system);
    // Forgets an open menu without a reply; the system's window is the backend's to take down
    // (it calls CancelMenu while it still can).
    ~XMenuWindow() override;
    XMenuWindow(const XMenuWindow&) = delete;
    XMenuWindow& operator=(const XMenuWindow&) = delete;

    // XMenuHost
    bool ShowMenu(std::unique_ptr<XMenu> menu, int screenX, int screenY, XEventQueue* reply,
                  std::int32_t code) override;
    void CancelMenu() override;
    bool IsMenuOpen() const override { return view_ != nullptr; }

    // The menu window's events, in its own coordinates. A press outside ends the menu.
    void Press(int x, int y);
    void Release(int x, int y);
    void Move(int x, int y);
    // Rows; positive scrolls down.
    void Scroll(int rows);
    // A key record (XInput::kKey) from the backend's key translation.
    void Key(const XInput& key);
    // The menu ends as by a press outside (the system took the pointer away): "cancelled".
    void Dismiss();
    // The window needs its picture again.
    void Paint();

private:
    // Draws the menu, or closes it when the user ended it.
    void Update();
    void Close();

    System& system_;
    std::unique_ptr<XMenuView> view_;
    XGraphic surface_;
};
