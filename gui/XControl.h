// The base of everything on screen: a rectangle in its parent's coordinates with owned children,
// four colours, a text, visibility and enabled flags, and the dirty flags that drive the
// retained, incremental repaint.
//
// Ownership: a parent owns its children (Adopt, Add, AddChild take or make them). Nothing is
// deleted during event handling: Remove() hides a control and marks it deleted, and the next
// drawing pass that walks its parent's children unlinks and destroys it. Views on the parent
// chain are told first (ControlGone), so no focus, hover, capture or drag pointer outlives it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/XColor.h"
#include "gui/XEvent.h"
#include "gui/XMouse.h"
#include "gui/XRect.h"

class XGraphic;
class XView;
class XWindowPort;

class XControl {
public:
    // Positions and sizes are kept within this range so that sums of them never overflow.
    static constexpr int kMaxCoordinate = 1 << 26;
    // Longer texts are cut (at a character boundary).
    static constexpr std::size_t kMaxText = 64 * 1024;

    // Detached, of size 0 at (0, 0).
    XControl();
    // Detached with its geometry, so a constructor can already use its size.
    XControl(int x, int y, int width, int height);
    virtual ~XControl();

    XControl(const XControl&) = delete;
    XControl& operator=(const XControl&) = delete;

    // --- Slots

    // The window handle of the view at the top of the parent chain (0 when detached).
    virtual std::uintptr_t GetWindow();
    // Called by a view port on its content after the port drew its frame.
    virtual void DrawHook(XGraphic* g) {}
    // Fills the control with colour 0 unless that colour is transparent.
    virtual void Draw(XGraphic* g);
    // Mouse operations get the view's XMouse; return true to take the press (the control then
    // receives drags, the release and the keys).
    virtual bool MouseDown(XMouse* mouse) { return false; }
    virtual void MouseDrag(XMouse* mouse) {}
    virtual void MouseUp(XMouse* mouse) {}
    // (x, y) in the parent's coordinates.
    virtual bool DoubleClick(int x, int y) { return false; }
    virtual bool Wheel(int x, int y, int dx, int dy) { return false; }
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual bool KeyDown(XKey* key) { return false; }
    virtual bool AcceptDrop(XControl* source, std::int32_t payload) { return false; }
    virtual void DragEnter(XControl* source, std::int32_t payload) {}
    virtual void DragLeave(XControl* source, std::int32_t payload) {}
    virtual void Drop(XControl* source, std::int32_t payload) {}
    virtual void Blink(int phase) {}
    virtual void Hover(int x, int y) {}
    // After AddChild gave the control a size.
    virtual void Placed() {}
    // A notification from a child to its parent.
    virtual void Command(std::int32_t code, std::int32_t a, std::int32_t b) {}
    // After SetSize changed the size.
    virtual void Resized() {}
    // After a child's SetSize changed its size.
    virtual void ChildResized() {}
    // `gone` (and its subtree) is about to be destroyed; forget any pointer into it. Called on
    // every control up the parent chain of the destroyed control.
    virtual void ControlGone(XControl* gone) {}

    // --- The tree

    // Takes the child and appends it as the last child; a negative x or y counts from this
    // control's right or bottom edge (x = -40 in a 300-wide parent gives 260). Null is ignored.
    template <typename T>
    T* Adopt(std::unique_ptr<T> child)
    {
        T* raw = child.get();
        AdoptControl(std::unique_ptr<XControl>(std::move(child)), true);
        return raw;
    }
    // Makes a T from the arguments and adopts it: the (parent, x, y, width, height) form.
    template <typename T, typename... Args>
    T* Add(Args&&... args)
    {
        return Adopt(std::make_unique<T>(std::forward<Args>(args)...));
    }
    // Appends the child; when width and height are both non-zero, sets its bounds and calls its
    // Placed().
    template <typename T>
    T* AddChild(std::unique_ptr<T> child, int x, int y, int width, int height)
    {
        T* raw = child.get();
        AddChildControl(std::unique_ptr<XControl>(std::move(child)), x, y, width, height);
        return raw;
    }

    int ChildCount() const { return static_cast<int>(children_.size()); }
    // Null outside 0 .. ChildCount() - 1.
    XControl* Child(int index) const;
    XControl* Parent() const { return parent_; }
    // Whether `other` is this control or one of its descendants.
    bool Contains(const XControl* other) const;
    // The top of the parent chain, and the same as a view (null when the top is no view).
    XControl* Root();
    XView* RootView();

    // --- Geometry

    void SetPosition(int x, int y);
    void SetSize(int width, int height);
    void SetBounds(int x, int y, int width, int height);
    // The control is drawn and hit at (x - origin x, y - origin y); callers invalidate.
    void SetOrigin(int x, int y);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int OriginX() const { return originX_; }
    int OriginY() const { return originY_; }

    // The first visible, enabled child whose rectangle holds the point (this control's content
    // coordinates). The pixel just right of and just below a child counts as inside it, so where
    // two siblings touch, the earlier one wins.
    XControl* ChildAt(int x, int y) const;
    // The deepest visible, enabled, not deleted control under the point (this control's own
    // coordinates), or this control itself; null when this one fails the test or the point is
    // outside [0, width) x [0, height).
    XControl* DeepestAt(int x, int y);
    // Position in root coordinates (the root's own position is the window's, not part of it).
    int AbsoluteX() const;
    int AbsoluteY() const;
    // The control's rectangle in root coordinates, clipped by every ancestor; may be empty.
    XRect RectInRoot() const;
    // Offset of this control's top-left within `ancestor`'s coordinates; false when `ancestor`
    // is not on the parent chain.
    bool OffsetIn(const XControl* ancestor, int& dx, int& dy) const;

    // --- Looks

    // Index 0 background, 1 highlight or fill, 2 foreground or text, 3 frame; other indices
    // are ignored (GetColor answers transparent).
    void SetColor(int index, XColor color);
    XColor GetColor(int index) const;
    // Copies the text (cut at kMaxText) and invalidates; an empty text clears it.
    void SetText(std::string_view text);
    // A null text clears it.
    void SetText(const char* text) { SetText(text ? std::string_view(text) : std::string_view()); }
    // Null when there is no text.
    const char* GetText() const { return text_.empty() ? nullptr : text_.c_str(); }
    std::string_view Text() const { return text_; }
    void SetFont(int size, std::int32_t weight)
    {
        fontSize_ = size;
        fontWeight_ = weight;
    }
    int FontSize() const { return fontSize_; }
    std::int32_t FontWeight() const { return fontWeight_; }
    // A free value for the owner.
    void SetTag(std::int32_t tag) { tag_ = tag; }
    std::int32_t Tag() const { return tag_; }

    // --- State

    // Show and Hide act on the redirect target. Showing invalidates the control; hiding
    // invalidates its parent, which repaints the area.
    void Show();
    void Hide();
    bool IsVisible() const { return visible_; }
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return enabled_; }
    // Hides the control, marks it deleted and invalidates its parent; the next drawing pass
    // through the parent unlinks and destroys it.
    void Remove();
    bool IsDeleted() const { return deleted_; }
    // Marks the end of the redirect chain dirty and its ancestors child-dirty.
    void Invalidate();
    bool IsDirty() const { return dirty_; }
    bool IsChildDirty() const { return childDirty_; }
    // Whether the control painted itself in the current (or last) drawing pass.
    bool WasDrawn() const { return drawn_; }
    // Invalidation, showing and hiding act on `target` instead (null: on this control).
    void SetRedirect(XControl* target) { redirect_ = target; }
    XControl* Redirect() const { return redirect_; }

    // The window backend's services (clipboard), from the view at the top; null when detached.
    virtual XWindowPort* WindowPort();

    // --- Drawing pass

    // Draws this control as the root of the pass at the surface's (0, 0): the root itself when
    // dirty or forced, then the dirty parts of its children, then what a view draws above them
    // (DrawAbove).
    void DrawTree(XGraphic* g, bool force);

protected:
    // Destroys the children now (telling the chain first). Views call it from their destructor
    // while they are still views.
    void DestroyChildren();
    // For a control that does not cover its area: the parent paints the area under it first,
    // unless the parent was drawn in this pass already.
    void DrawParentUnder(XGraphic* g);
    // Before and after the root of a pass draws its tree (views: the drag image, popups).
    virtual void DrawBelow(XGraphic* g) {}
    virtual void DrawAbove(XGraphic* g) {}
    // One child of a pass: `px`, `py` are the parent's absolute content origin, `clip` the
    // parent's clip, both in surface coordinates.
    void DrawChild(XGraphic* g, bool force, int px, int py, const XRect& clip);
    // Draws the children (unlinking and destroying the deleted ones).
    void DrawChildren(XGraphic* g, bool force, int ax, int ay, const XRect& clip);
    // Tells this control and every ancestor that `gone` is about to be destroyed.
    void NotifyGone(XControl* gone);
    void ClearDirtyFlags()
    {
        dirty_ = false;
        childDirty_ = false;
    }
    void SetDrawnFlag(bool drawn) { drawn_ = drawn; }
    void SetParentLink(XControl* parent) { parent_ = parent; }

private:
    void AdoptControl(std::unique_ptr<XControl> child, bool fromEdges);
    void AddChildControl(std::unique_ptr<XControl> child, int x, int y, int width, int height);
    XControl* RedirectEnd();

    bool childDirty_ = false;
    bool deleted_ = false;
    bool drawn_ = false;
    bool dirty_ = true;
    int fontSize_ = 0;
    std::int32_t fontWeight_ = 0;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    int originX_ = 0;
    int originY_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    XControl* parent_ = nullptr;
    std::vector<std::unique_ptr<XControl>> children_;
    XControl* redirect_ = nullptr;
    std::array<XColor, 4> colors_ {XColor(140, 140, 150, 255), XColor(), XColor(), XColor()};
    std::string text_;
    std::int32_t tag_ = 0;
};
