// A popup menu in a window of its own, the half every system shares: the menu's view, where it
// opens on the screen, its picture, and what the pointer and the keys do to it. The window
// backend implements System (make the window, show pixels in it, hold the pointer, take it
// down) and feeds the window's events in as input records, in the GUI's pixels like every
// point here; after each the menu is drawn anew, or closed once the user has ended it.
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

    // XMenuHost
    bool ShowMenu(std::unique_ptr<XMenu> menu, int screenX, int screenY, XEventQueue* reply,
                  std::int32_t code) override;
    void CancelMenu() override;
    bool IsMenuOpen() const override { return view_ != nullptr; }

    // An input record of the menu's window, in its coordinates: paints, presses (outside the
    // menu they end it), releases, moves, wheel notches and keys; other kinds mean nothing here.
    void Input(const XInput& input);
    // The menu ends as by a press outside (the system took the pointer away): "cancelled".
    void Dismiss();

private:
    void Paint();
    // Draws the menu, or closes it when the user ended it.
    void Update();

    System& system_;
    std::unique_ptr<XMenuView> view_;
    XGraphic surface_;
};
