#include "gui/XMenuWindow.h"

#include <algorithm>

#include "gui/XEvent.h"
#include "gui/XMenu.h"
#include "gui/XWindowPort.h"

XMenuWindow::XMenuWindow(System& system) : system_(system) {}

XMenuWindow::~XMenuWindow() = default;

bool XMenuWindow::ShowMenu(std::unique_ptr<XMenu> menu, int screenX, int screenY,
                           XEventQueue* reply, std::int32_t code)
{
    if (!menu) return false;
    Dismiss();  // the menu open so far answers "cancelled"
    XRect area;
    if (!system_.MenuArea(area)) return false;
    auto view = std::make_unique<XMenuView>(std::move(menu), area.Height(), reply, code);
    const int width = std::max(1, view->Width());
    const int height = std::max(1, view->Height());
    const int x =
        std::clamp(screenX, area.left, std::max(area.left, area.left + area.Width() - width));
    const int y =
        std::clamp(screenY, area.top, std::max(area.top, area.top + area.Height() - height));
    view_ = std::move(view);
    if (!system_.OpenMenuWindow(x, y, width, height)) {
        view_.reset();
        return false;
    }
    Paint();
    // Drawing may find the system gone, which takes the menu down with it.
    return view_ != nullptr;
}

void XMenuWindow::CancelMenu()
{
    if (!view_) return;
    // Taken out first: taking the window down may bring events that must not find the menu.
    const std::unique_ptr<XMenuView> closing = std::move(view_);
    system_.CloseMenuWindow();
}

void XMenuWindow::Input(const XInput& input)
{
    if (!view_) return;
    XMenuView& view = *view_;
    switch (input.kind) {
        case XInput::kPaint:
            Paint();
            return;
        case XInput::kLeftDown:
        case XInput::kRightDown:
            view.PointerPressed(input.x, input.y);
            break;
        case XInput::kLeftUp:
        case XInput::kRightUp:
            view.PointerReleased(input.x, input.y);
            break;
        case XInput::kMouseMove:
            view.PointerMoved(input.x, input.y);
            break;
        case XInput::kWheel:
            if (input.wheelY) view.ScrollBy(input.wheelY > 0 ? -1 : 1);
            break;
        case XInput::kKey: {
            XKey key {input.character, input.modifiers, input.code};
            view.KeyDown(&key);
            break;
        }
        default:
            return;
    }
    Update();
}

void XMenuWindow::Dismiss()
{
    if (view_) view_->PressedOutside();
    Update();
}

void XMenuWindow::Paint()
{
    if (!view_) return;
    XMenuView& view = *view_;
    surface_.Begin(nullptr, view.Width(), view.Height());
    view.DrawTree(&surface_, true);
    const auto pixels = surface_.Pixels();
    if (!pixels.empty()) system_.PutMenuPixels(pixels.data(), view.Width(), view.Height());
}

void XMenuWindow::Update()
{
    if (view_ && view_->IsFinished())
        CancelMenu();
    else
        Paint();
}
