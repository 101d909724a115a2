// The bridge between a window and the control tree: owns the back buffer and the 50 ms tick,
// turns the backend's input records into calls on the root view, and paints dirty parts.
// Window handles are opaque integers; the backend's services come through XWindowPort and the
// time through XClock, so everything here runs (and is tested) without a display.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/XClock.h"
#include "gui/XGraphic.h"
#include "gui/XWindowPort.h"
#include "platform/QelLog.h"

class XView;

class XWinGui : public QelLog {
public:
    static constexpr int kTimerPeriodMs = 50;
    static constexpr std::uint32_t kDoubleClickMs = 400;
    // A second press counts towards a double click only this many pixels or fewer from the
    // first, each way: a quick press elsewhere is a press of its own.
    static constexpr int kDoubleClickSlop = 4;
    // One wheel notch scrolls this many pixels.
    static constexpr int kWheelStep = 20;

    // Without a port nothing is shown and no timer runs (ticks can still be fed as records);
    // without a clock the system's tick count serves.
    explicit XWinGui(XWindowPort* port = nullptr, XClock* clock = nullptr);
    ~XWinGui() override;

    XWinGui(const XWinGui&) = delete;
    XWinGui& operator=(const XWinGui&) = delete;

    // Called when the root view asks to close (its Close); empty here.
    virtual void RootClose() {}

    // Not owned: the root outlives this object or is unset (SetRootView(nullptr)) before it
    // goes. The root gets the parent window's handle and the port.
    void SetRootView(XView* root);
    XView* RootView() const { return root_; }
    void SetParentWindow(std::uintptr_t handle);
    std::uintptr_t ParentWindow() const { return parentWindow_; }
    void SetWindow(std::uintptr_t handle) { window_ = handle; }
    std::uintptr_t Window() const { return window_; }
    void SetPort(XWindowPort* port);
    void SetClock(XClock* clock);

    void StartTimer();
    void StopTimer();
    bool TimerRunning() const { return timerId_ != 0; }
    std::uint32_t TickCount() const { return tick_; }

    // Draws the dirty parts of the tree into the back buffer and hands all of it to `target`.
    void Paint(XTarget* target);
    // Paint onto the port's target (when the window is there).
    void Redraw();
    // Builds the key (control+C and control+V become copy and paste; other control characters
    // are dropped) and gives it to the root. True when a control used it.
    bool KeyEvent(std::int32_t character, std::int32_t modifiers, std::int32_t code);
    // One input record; answers what a window procedure would (1 for the timer, else 0).
    int WindowProc(const XInput& input);
    void OnTimer();
    // For hosts that give the editor idle calls instead of a timer: runs one tick when the
    // timer runs and a period has passed since the last one (a late call never runs a burst of
    // ticks). True when it ticked.
    bool PollTimer();

    const XGraphic& BackBuffer() const { return backBuffer_; }
    int WindowX() const { return windowX_; }
    int WindowY() const { return windowY_; }

private:
    void MouseDown(const XInput& input, int button);

    std::uintptr_t parentWindow_ = 0;
    int windowX_ = 0;
    int windowY_ = 0;
    bool paintPending_ = false;
    std::uintptr_t window_ = 0;
    XView* root_ = nullptr;
    XGraphic backBuffer_;
    std::uint32_t tick_ = 0;
    std::uint32_t lastLeftPress_ = 0;
    int lastLeftX_ = 0;
    int lastLeftY_ = 0;
    bool hasLeftPress_ = false;
    int timerId_ = 0;
    std::uint32_t lastTickTime_ = 0;
    XWindowPort* port_ = nullptr;
    XSystemClock systemClock_;
    XClock* clock_ = &systemClock_;
    // A new root or a new buffer size is drawn in full.
    bool forceNext_ = true;
    int paintedWidth_ = -1;
    int paintedHeight_ = -1;
};
