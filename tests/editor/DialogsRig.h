// The dialog tests' host: a root view that shows a dialog as a popup, clicks and keys it like
// a user, ticks it, records how the popup closed, and compares a dialog's picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "gui/XGraphic.h"
#include "gui/XView.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

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
    // A press and release in the middle of the control (not RectInRoot: a popup over a smaller
    // popup lies outside its owner's rectangle).
    void Click(const XControl* control)
    {
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

// The dialog shown over a dark margin of 10 pixels, as over the editor.
inline void ExpectPicture(std::unique_ptr<XView> dialog, std::string_view name)
{
    Host host(dialog->Width() + 20, dialog->Height() + 20);
    host.ShowPopup(std::move(dialog), 1);
    XGraphic g;
    controlsrig::DrawAll(host, g);
    testsupport::ExpectMatchesReference(g, name);
}

}  // namespace dialogsrig
