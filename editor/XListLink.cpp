#include "editor/XListLink.h"
#include "editor/EditorCodes.h"

#include <utility>

XListLink::XListLink(int x, int y, int width, int height,
                     std::function<bool(XControl*, std::int32_t)> accepts)
    : XList(x, y, width, height), accepts_(std::move(accepts))
{
    SetKind(kList);
}

bool XListLink::AcceptDrop(XControl* source, std::int32_t payload)
{
    return source != this && accepts_ && accepts_(source, payload);
}

void XListLink::DragEnter(XControl*, std::int32_t)
{
    frame_ = GetColor(3);
    SetColor(3, kDropFrame);
    Invalidate();
}

void XListLink::DragLeave(XControl*, std::int32_t)
{
    SetColor(3, frame_);
    Invalidate();
}

void XListLink::Drop(XControl* source, std::int32_t payload)
{
    SetColor(3, frame_);
    Invalidate();
    Broadcast(this, editorcode::kFavoriteAdd);
}

void XListLink::DragFinished(int x, int y)
{
    if (x < 0 || y < 0 || x > Width() || y > Height()) Broadcast(this, editorcode::kFavoriteRemove);
}
