#include "gui/XWinGui.h"

#include <cstdlib>

#include "gui/XView.h"

XWinGui::XWinGui(XWindowPort* port, XClock* clock) : port_(port)
{
    if (clock) clock_ = clock;
}

XWinGui::~XWinGui()
{
    StopTimer();
    if (root_) {
        // The next window that shows the root starts from a full picture.
        root_->Invalidate();
        root_->SetWindowPort(nullptr);
    }
}

void XWinGui::SetRootView(XView* root)
{
    if (root_ && root_ != root) root_->SetWindowPort(nullptr);
    root_ = root;
    forceNext_ = true;
    if (!root_) return;
    if (parentWindow_) root_->SetWindowHandle(parentWindow_);
    root_->SetWindowPort(port_);
}

void XWinGui::SetParentWindow(std::uintptr_t handle)
{
    parentWindow_ = handle;
    if (root_) root_->SetWindowHandle(handle);
}

void XWinGui::SetPort(XWindowPort* port)
{
    if (timerId_ && port_) port_->StopTimer();
    port_ = port;
    if (timerId_ && port_) port_->StartTimer(kTimerPeriodMs);
    if (root_) root_->SetWindowPort(port_);
}

void XWinGui::SetClock(XClock* clock)
{
    clock_ = clock ? clock : &systemClock_;
}

void XWinGui::StartTimer()
{
    if (timerId_) return;
    tick_ = 0;
    timerId_ = 1;
    lastTickTime_ = clock_->Now();
    if (port_) port_->StartTimer(kTimerPeriodMs);
}

void XWinGui::StopTimer()
{
    if (!timerId_) return;
    if (port_) port_->StopTimer();
    timerId_ = 0;
}

void XWinGui::Paint(XTarget* target)
{
    if (!root_) return;
    StartTimer();
    const int width = root_->Width();
    const int height = root_->Height();
    backBuffer_.Begin(target, width, height);
    const bool resized = width != paintedWidth_ || height != paintedHeight_;
    root_->DrawTree(&backBuffer_, forceNext_ || resized);
    forceNext_ = false;
    paintedWidth_ = width;
    paintedHeight_ = height;
    if (target) backBuffer_.Present();
    paintPending_ = false;
}

void XWinGui::Redraw()
{
    if (!parentWindow_ || !port_) return;
    Paint(port_->Target());
}

bool XWinGui::KeyEvent(std::int32_t character, std::int32_t modifiers, std::int32_t code)
{
    XKey key {character, modifiers, code};
    if (modifiers & kModControl) {
        if (character == 'c' || character == 'C' || character == 3) {
            key = XKey {0, modifiers, kKeyCopy};
        } else if (character == 'v' || character == 'V' || character == 22) {
            key = XKey {0, modifiers, kKeyPaste};
        } else if (code == kKeyChar) {
            // Other control characters mean nothing to the controls; typing them would insert
            // the plain letter.
            return false;
        }
    }
    if (!root_) return false;
    return root_->KeyPress(&key);
}

void XWinGui::MouseDown(const XInput& input, int button)
{
    if (!root_) return;
    if (root_->MouseDownAt(input.x, input.y, button, input.shift, input.control) && port_) {
        port_->CaptureMouse();
    }
}

int XWinGui::WindowProc(const XInput& input)
{
    switch (input.kind) {
        case XInput::kWindowMoved:
            windowX_ = input.x;
            windowY_ = input.y;
            if (root_) root_->SetPosition(input.x, input.y);
            return 0;
        case XInput::kPaint:
            paintPending_ = true;
            Paint(port_ ? port_->Target() : nullptr);
            return 0;
        case XInput::kKey:
            KeyEvent(input.character, input.modifiers, input.code);
            return 0;
        case XInput::kTimer:
            OnTimer();
            return 1;
        case XInput::kMouseMove:
            if (root_) root_->MouseMoveTo(input.x, input.y, input.shift, input.control);
            return 0;
        case XInput::kLeftDown: {
            if (!root_) return 0;
            int sx = 0;
            int sy = 0;
            // The root's position is the window's place on the screen (popup menus use it).
            if (port_ && port_->ScreenOrigin(sx, sy)) root_->SetPosition(sx, sy);
            const std::uint32_t now = clock_->Now();
            const bool quick = hasLeftPress_ && now - lastLeftPress_ < kDoubleClickMs &&
                               std::abs(input.x - lastLeftX_) <= kDoubleClickSlop &&
                               std::abs(input.y - lastLeftY_) <= kDoubleClickSlop;
            lastLeftPress_ = now;
            lastLeftX_ = input.x;
            lastLeftY_ = input.y;
            hasLeftPress_ = true;
            if (quick && root_->DoubleClickAt(input.x, input.y)) return 0;
            MouseDown(input, 0);
            if (port_) port_->TakeKeyboardFocus();
            return 0;
        }
        case XInput::kRightDown:
            MouseDown(input, 1);
            return 0;
        case XInput::kLeftUp:
        case XInput::kRightUp:
            if (root_) root_->MouseUpAt(input.x, input.y);
            if (port_ && port_->HasMouseCapture()) port_->ReleaseMouse();
            return 0;
        case XInput::kWheel:
            if (root_) {
                root_->WheelAt(input.x, input.y, input.wheelX * kWheelStep,
                               input.wheelY * kWheelStep);
            }
            return 0;
        case XInput::kFocusIn:
        case XInput::kFocusOut:
        case XInput::kMouseLeave:
            return 0;
    }
    return 0;
}

void XWinGui::OnTimer()
{
    ++tick_;
    if (!root_) return;
    const bool dirty = root_->Idle(tick_);
    if (root_->CloseRequested()) {
        RootClose();
    } else if (dirty) {
        Redraw();
    }
}

bool XWinGui::PollTimer()
{
    if (!timerId_) return false;
    const std::uint32_t now = clock_->Now();
    if (now - lastTickTime_ < static_cast<std::uint32_t>(kTimerPeriodMs)) return false;
    lastTickTime_ = now;
    OnTimer();
    return true;
}
