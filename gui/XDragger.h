// Drag and drop between controls. A list or tree derives it as a further base and calls
// BeginDrag, DragTo and EndDrag from its mouse operations (points in its content coordinates).
// The drag image (what DrawDragImage draws) follows the pointer as an overlay the root view
// draws above everything; the control under the pointer that accepts the payload is the target.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/XRect.h"

struct XMouse;

class XControl;
class XGraphic;
class XView;

class XDragger {
public:
    XDragger();
    virtual ~XDragger();

    XDragger(const XDragger&) = delete;
    XDragger& operator=(const XDragger&) = delete;

    virtual void DragFinished(int x, int y) {}
    // Draws the image in the source's coordinates; only the source's visible part shows.
    virtual void DrawDragImage(XGraphic* g) {}

    void SetPayload(std::int32_t payload) { payload_ = payload; }
    std::int32_t Payload() const { return payload_; }

    // The pointer has left the press by more than `distance` pixels on either axis: a drag
    // begins.
    static bool MovedBeyond(const XMouse& mouse, int distance);
    void BeginDrag(XControl* source, int x, int y);
    void DragTo(int x, int y);
    void EndDrag(int x, int y);
    bool IsDragging() const { return dragging_; }
    XControl* Target() const { return target_; }

    // Ends the drag without a drop and without DragFinished (the source or the root goes).
    void CancelDrag();
    // `gone` is about to be destroyed.
    void Forget(XControl* gone);

private:
    void FindTarget(int rootX, int rootY);
    std::vector<std::uint32_t> RenderImage(std::uint32_t background);
    void Unregister();

    std::int32_t payload_ = 0;
    XControl* source_ = nullptr;
    XControl* target_ = nullptr;
    XRect targetRect_;
    XControl* root_ = nullptr;
    XView* rootView_ = nullptr;
    XRect sourceRect_;
    int pressX_ = 0;
    int pressY_ = 0;
    int currentX_ = 0;
    int currentY_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    std::unique_ptr<XGraphic> surface_;
    bool dragging_ = false;
};
