// The dialog tests' host: a root view that shows one dialog as a popup, clicks its controls
// through the root like a user, ticks it, and records how the popup closed.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "gui/XControl.h"
#include "gui/XEvent.h"
#include "gui/XView.h"

namespace dialogsrig {

class Host : public XView {
public:
    Host(int width, int height) : XView(0, 0, width, height) { SetColor(0, XColor(30, 34, 42)); }

    template <typename T>
    T* Show(std::unique_ptr<T> dialog, std::int32_t id)
    {
        return static_cast<T*>(ShowPopup(std::move(dialog), id));
    }

    void PopupClosed(XView* popup) override
    {
        ++closed;
        closedId = popup->PopupId();
        result = popup->Result();
    }

    // A press and release in the middle of the control.
    void Click(const XControl* control)
    {
        // Not RectInRoot: a popup over a smaller popup lies outside its owner's rectangle.
        const int x = control->AbsoluteX() + control->Width() / 2;
        const int y = control->AbsoluteY() + control->Height() / 2;
        MouseDownAt(x, y, 0, false, false);
        MouseUpAt(x, y);
    }
    void Press(std::int32_t code)
    {
        XKey key;
        key.code = code;
        KeyPress(&key);
    }
    void Tick() { Idle(++tick_); }

    int closed = 0;
    std::int32_t closedId = 0;
    std::int32_t result = 99;

private:
    std::uint32_t tick_ = 0;
};

}  // namespace dialogsrig
