// A control that is also an event queue and can hold one modal popup view. The editor's root,
// its dialogs and popups are views. The root view routes mouse and key input down its tree
// (always to the innermost open popup), tracks the hovered and focused control, drains the
// queues and closes popups on every timer tick (Idle).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/XControl.h"
#include "gui/XEventQueue.h"
#include "gui/XMouse.h"

class XDragger;
class XWindowPort;

class XView : public XControl, public XEventQueue {
public:
    XView();
    XView(int x, int y, int width, int height);
    ~XView() override;

    // --- Slots added by views

    virtual void HandleEvent(XEvent* event) {}
    // Every timer tick, on the GUI thread, before the view's queue is drained: for views that
    // poll (a file dialog's answer, values other threads left in atomics). Idle calls it on the
    // root and on each open popup below it.
    virtual void Tick(std::uint32_t tick) {}
    // A popup shown by this view has closed; read its PopupId() and Result(). It is destroyed
    // right after this returns.
    virtual void PopupClosed(XView* popup) {}

    // --- Window

    // The window handle of the root (set by XWinGui); other views ask their parent.
    std::uintptr_t GetWindow() override;
    void SetWindowHandle(std::uintptr_t handle) { window_ = handle; }
    XWindowPort* WindowPort() override;
    void SetWindowPort(XWindowPort* port) { port_ = port; }

    void SetTitle(std::string_view title) { title_ = title; }
    void SetTitle(const char* title) { title_ = title ? title : ""; }
    const std::string& Title() const { return title_; }
    // Dialogs close on enter (result 1) and escape (result 0) when no button takes the key.
    void SetDialog(bool dialog) { dialog_ = dialog; }
    bool IsDialog() const { return dialog_; }

    // --- Popups

    // Takes the popup, stores a non-zero identifier in it, centres it on this view and makes
    // this view its parent (it is not a child). While another popup is open (or waiting), the
    // new one waits and the open one is asked to close with result 0 (unless it is closing
    // already); the next ticks close the open one and then open this one. Returns the popup.
    XView* ShowPopup(std::unique_ptr<XView> popup, std::int32_t identifier);
    // Asks the view to close: Idle removes it on the next tick and tells its owner.
    void Close(std::int32_t result);
    bool CloseRequested() const { return closeRequested_; }
    std::int32_t Result() const { return result_; }
    std::int32_t PopupId() const { return popupId_; }
    XView* OpenPopup() const { return popup_.get(); }
    int PendingPopupCount() const { return static_cast<int>(pending_.size()); }
    // This view, or the innermost open popup below it.
    XView* Innermost();
    // The same, converting the point from this view's coordinates into the innermost one's.
    XView* InnermostAt(int& x, int& y);

    // Clicked by enter and escape (a press and release at (0, 0)).
    void SetDefaultButton(XControl* button) { defaultButton_ = button; }
    void SetCancelButton(XControl* button) { cancelButton_ = button; }

    // --- Input, on the root: each goes to the innermost popup, in its coordinates.

    bool MouseDownAt(int x, int y, int button, bool shift, bool control);
    void MouseMoveTo(int x, int y, bool shift, bool control);
    void MouseUpAt(int x, int y);
    bool DoubleClickAt(int x, int y);
    void WheelAt(int x, int y, int dx, int dy);
    bool KeyPress(XKey* key);
    // The timer tick: drains every queue of the popup chain, closes a closing popup, blinks the
    // caret every 10 ticks and calls Hover after 30. True when something needs drawing.
    bool Idle(std::uint32_t tick);

    XControl* Focus() const { return focus_; }
    // Keys go to the focus control (a press that a control takes also makes it the focus).
    // It must be a control of this view's tree.
    void SetFocus(XControl* control) { focus_ = control; }
    XControl* Hovered() const { return hovered_; }
    bool ButtonDown() const { return buttonDown_; }
    const XMouse& Mouse() const { return mouse_; }
    int BlinkPhase() const { return blinkPhase_; }

    // --- Drag image (root view): drawn above everything, erased before the next pass.

    // The image's pixels (0x00RRGGBB) and their coverage (0 transparent .. 255 opaque, one
    // byte per pixel; empty: all opaque) at `rect` in root coordinates, and where it holds text
    // (image coordinates; see XGraphic::TextAreas). Replaces an earlier image; sizes that do
    // not match the rectangle clear it.
    void SetDragImage(std::vector<std::uint32_t> pixels, std::vector<std::uint8_t> alpha,
                      const XRect& rect, std::vector<XRect> textAreas = {});
    // Moves the image (its size stays).
    void MoveDragImage(int x, int y);
    void ClearDragImage();
    bool HasDragImage() const { return !dragPixels_.empty(); }
    XRect DragImageRect() const { return dragRect_; }
    // The dragger in progress on this root; it hears about controls that go away.
    void SetActiveDragger(XDragger* dragger) { dragger_ = dragger; }
    XDragger* ActiveDragger() const { return dragger_; }

    void ControlGone(XControl* gone) override;

protected:
    void DrawBelow(XGraphic* g) override;
    void DrawAbove(XGraphic* g) override;

private:
    void DrainQueue();
    void DrawPopup(XGraphic* g, int px, int py);
    void EraseDragImage(XGraphic* g);
    void PaintDragImage(XGraphic* g);
    void ClickButton(XControl* button);
    XControl* HoverTarget(int x, int y);
    bool ShownWithin(const XControl* control) const;

    std::uintptr_t window_ = 0;
    XWindowPort* port_ = nullptr;
    std::int32_t popupId_ = 0;
    std::string title_;
    bool dialog_ = false;
    bool closeRequested_ = false;
    std::int32_t result_ = 0;
    XMouse mouse_;
    bool buttonDown_ = false;
    int lastX_ = -1;
    int lastY_ = -1;
    bool hasLast_ = false;
    int blinkPhase_ = 0;
    XControl* focus_ = nullptr;
    XControl* hovered_ = nullptr;
    XControl* defaultButton_ = nullptr;
    XControl* cancelButton_ = nullptr;
    std::unique_ptr<XView> popup_;
    std::deque<std::unique_ptr<XView>> pending_;

    XDragger* dragger_ = nullptr;
    std::vector<std::uint32_t> dragPixels_;
    XRect dragRect_;
    std::vector<std::uint8_t> dragAlpha_;
    std::vector<XRect> dragTextAreas_;
    bool dragMoved_ = false;
    // What the drawn image covered, to put back before the next pass.
    std::vector<std::uint32_t> underPixels_;
    XRect underRect_;
    int underSurfaceWidth_ = 0;
    int underSurfaceHeight_ = 0;
};
