// How a view asks the window to show a popup menu. The window backend provides it (XMenuWindow:
// a popup window of its own, so a menu may reach beyond the editor); the choice comes back
// later as an event in the asking view's queue, never through a nested event loop that would
// freeze the host.
//
// The reply is XEvent {code, command, 0}: `code` is the asker's, `command` the chosen item's
// ((menu id << 16) + index + 1, see XMenu), 0 when the menu was cancelled. Exactly one reply is
// posted per shown menu, unless the menu is taken down by CancelMenu, which posts nothing.
#pragma once

#include <cstdint>
#include <memory>

class XEventQueue;
class XMenu;

class XMenuHost {
public:
    virtual ~XMenuHost() = default;

    // Shows the menu with its top-left at the screen point (moved to stay on the screen; a menu
    // taller than the screen scrolls). A menu already open is cancelled first (its reply is
    // posted). False, with nothing posted, when no menu can be shown now. `reply` must outlive
    // the menu or be released with CancelMenu first.
    virtual bool ShowMenu(std::unique_ptr<XMenu> menu, int screenX, int screenY, XEventQueue* reply,
                          std::int32_t code) = 0;
    // Takes down an open menu without a reply (the asking view is going away).
    virtual void CancelMenu() = 0;
    virtual bool IsMenuOpen() const = 0;
};

// The reply's halves.
constexpr std::int32_t MenuIdOf(std::int32_t command)
{
    return command > 0 ? command >> 16 : -1;
}
constexpr int MenuIndexOf(std::int32_t command)
{
    return command > 0 ? (command & 0xFFFF) - 1 : -1;
}
