#include "gui/XDragger.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

#include "gui/XControl.h"
#include "gui/XGraphic.h"
#include "gui/XMouse.h"
#include "gui/XView.h"

namespace {

// Keeps what the image surface hands over.
class ImageCapture final : public XTarget {
public:
    void Put(const std::uint32_t* pixels, int width, int height, int, int) override
    {
        if (!pixels || width <= 0 || height <= 0) return;
        this->pixels.assign(
            pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    }
    std::vector<std::uint32_t> pixels;
};

}  // namespace

XDragger::XDragger() = default;

XDragger::~XDragger()
{
    CancelDrag();
}

bool XDragger::MovedBeyond(const XMouse& mouse, int distance)
{
    return std::abs(mouse.LocalX() - mouse.LocalPressX()) > distance ||
           std::abs(mouse.LocalY() - mouse.LocalPressY()) > distance;
}

void XDragger::BeginDrag(XControl* source, int x, int y)
{
    if (!source) return;
    if (dragging_) CancelDrag();
    source_ = source;
    pressX_ = currentX_ = x;
    pressY_ = currentY_ = y;
    sourceRect_ = source->RectInRoot();
    root_ = source->Root();
    rootView_ = source->RootView();
    offsetX_ = source->AbsoluteX();
    offsetY_ = source->AbsoluteY();
    target_ = nullptr;
    dragging_ = true;
    if (!rootView_) return;
    rootView_->SetActiveDragger(this);

    if (sourceRect_.IsEmpty()) return;
    // Drawn once on black and once on white: where the two differ the image is partly
    // transparent (antialiased text), which gives each pixel its coverage.
    const std::vector<std::uint32_t> onBlack = RenderImage(0x000000);
    const std::vector<std::uint32_t> onWhite = RenderImage(0xFFFFFF);
    if (onBlack.size() != onWhite.size() || onBlack.empty()) return;
    std::vector<std::uint32_t> colors(onBlack.size());
    std::vector<std::uint8_t> alpha(onBlack.size());
    for (std::size_t i = 0; i < onBlack.size(); ++i) {
        int coverage = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int b = static_cast<int>((onBlack[i] >> shift) & 0xFF);
            const int w = static_cast<int>((onWhite[i] >> shift) & 0xFF);
            coverage = std::max(coverage, 255 - (w - b));
        }
        coverage = std::clamp(coverage, 0, 255);
        alpha[i] = static_cast<std::uint8_t>(coverage);
        std::uint32_t color = 0;
        if (coverage > 0) {
            // On black the pixel is color x coverage.
            for (int shift = 0; shift <= 16; shift += 8) {
                const int b = static_cast<int>((onBlack[i] >> shift) & 0xFF);
                const int c = std::min(255, b * 255 / coverage);
                color |= static_cast<std::uint32_t>(c) << shift;
            }
        }
        colors[i] = color;
    }
    const std::span<const XRect> text = surface_->TextAreas();
    rootView_->SetDragImage(std::move(colors), std::move(alpha), sourceRect_,
                            std::vector<XRect>(text.begin(), text.end()));
}

std::vector<std::uint32_t> XDragger::RenderImage(std::uint32_t background)
{
    if (!surface_) surface_ = std::make_unique<XGraphic>();
    ImageCapture capture;
    surface_->RecordTextAreas(true);  // the root view's surface may want to know
    surface_->BeginImage(sourceRect_, &capture);
    surface_->SetFillColor(XColor::FromPixel(background));
    surface_->FillRect(0, 0, sourceRect_.Width(), sourceRect_.Height());
    // The image shows the source's visible part: its origin sits where the source's own
    // (0, 0) falls relative to that part.
    surface_->Translate(sourceRect_.left - offsetX_, sourceRect_.top - offsetY_);
    DrawDragImage(surface_.get());
    surface_->EndImage();
    return std::move(capture.pixels);
}

void XDragger::DragTo(int x, int y)
{
    if (!dragging_) return;
    currentX_ = x;
    currentY_ = y;
    if (rootView_) {
        rootView_->MoveDragImage(sourceRect_.left + currentX_ - pressX_,
                                 sourceRect_.top + currentY_ - pressY_);
    }
    const int rootX = offsetX_ + x;
    const int rootY = offsetY_ + y;
    if (target_ && targetRect_.Contains(rootX, rootY)) return;
    FindTarget(rootX, rootY);
}

void XDragger::FindTarget(int rootX, int rootY)
{
    XControl* found = nullptr;
    XControl* from = root_;
    int px = rootX;
    int py = rootY;
    if (rootView_) from = rootView_->InnermostAt(px, py);
    for (XControl* c = from ? from->ChildAt(px, py) : nullptr; c;) {
        if (c->AcceptDrop(source_, payload_)) {
            found = c;
            break;
        }
        px -= c->X() - c->OriginX();
        py -= c->Y() - c->OriginY();
        c = c->ChildAt(px, py);
    }
    if (found == target_) return;
    XControl* old = target_;
    target_ = found;
    if (old) old->DragLeave(source_, payload_);
    if (found) {
        found->DragEnter(source_, payload_);
        targetRect_ = found->RectInRoot();
    }
}

void XDragger::EndDrag(int x, int y)
{
    if (!dragging_) return;
    XControl* target = target_;
    Unregister();
    if (target) {
        target->DragLeave(source_, payload_);
        target->Drop(source_, payload_);
    }
    DragFinished(x, y);
}

void XDragger::CancelDrag()
{
    if (!dragging_) return;
    Unregister();
}

void XDragger::Unregister()
{
    if (rootView_) {
        rootView_->ClearDragImage();
        if (rootView_->ActiveDragger() == this) rootView_->SetActiveDragger(nullptr);
    }
    rootView_ = nullptr;
    root_ = nullptr;
    target_ = nullptr;
    dragging_ = false;
}

void XDragger::Forget(XControl* gone)
{
    if (!gone || !dragging_) return;
    if (gone->Contains(source_) || gone == root_) {
        CancelDrag();
        return;
    }
    if (gone->Contains(target_)) target_ = nullptr;
}
