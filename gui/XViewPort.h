// A scrollable container: a 1-pixel frame, a scroll view that clips, the content inside it and
// up to two scroll bars that come and go with the content's size. Scrolling sets the content's
// origin offset; the content's invalidation goes to the port, which redraws as a whole.
#pragma once

#include <memory>

#include "gui/XControl.h"

class XScrollBar;
class XScrollView;

class XViewPort : public XControl {
public:
    // Scroll commands of ScrollX and ScrollY (also the scroll bar's parts).
    enum Command : int {
        kAbsolute = 1,
        kLineForward = 2,
        kLineBack = 3,
        kPageForward = 4,
        kPageBack = 5,
    };
    static constexpr int kBarWidth = 17;

    XViewPort();
    XViewPort(int x, int y, int width, int height);

    // Builds the scroll view, the requested bars and puts the content inside; a second Attach
    // replaces the first. Returns the content.
    template <typename T>
    T* Attach(std::unique_ptr<T> content, bool horizontal, bool vertical)
    {
        T* raw = content.get();
        AttachContent(std::unique_ptr<XControl>(std::move(content)), horizontal, vertical);
        return raw;
    }

    void ScrollX(int command, int value);
    void ScrollY(int command, int value);
    // Clamped to the content; a content smaller than the view scrolls to 0.
    void SetScrollX(int value);
    void SetScrollY(int value);
    int GetScrollX() const { return scrollX_; }
    int GetScrollY() const { return scrollY_; }
    void SetLineSteps(int x, int y);

    XScrollView* GetScrollView() const { return scrollView_; }
    XControl* Content() const { return content_; }
    XScrollBar* HorizontalBar() const { return hBar_; }
    XScrollBar* VerticalBar() const { return vBar_; }

    // Places the scroll view and the bars for the current sizes.
    void Layout();

    void Draw(XGraphic* g) override;
    bool Wheel(int x, int y, int dx, int dy) override;
    void Resized() override;
    void ControlGone(XControl* gone) override;

private:
    void AttachContent(std::unique_ptr<XControl> content, bool horizontal, bool vertical);
    XScrollBar* MakeBar(bool vertical);

    XScrollView* scrollView_ = nullptr;
    XControl* content_ = nullptr;
    XScrollBar* hBar_ = nullptr;
    XScrollBar* vBar_ = nullptr;
    int scrollX_ = 0;
    int scrollY_ = 0;
    int lineX_ = 18;
    int lineY_ = 18;
    bool inLayout_ = false;
};
