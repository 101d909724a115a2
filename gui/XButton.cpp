#include "gui/XButton.h"

#include "gui/XGraphic.h"

namespace {

constexpr XColor kFace(180, 180, 200, 255);
constexpr XColor kHighlightFace(124, 168, 255, 255);
constexpr XColor kUpFace(200, 200, 200, 255);

}  // namespace

XButton::XButton() : XButton(0, 0, 0, 0) {}

XButton::XButton(int x, int y, int width, int height, std::string_view text)
    : XControl(x, y, width, height), hit_(XRect::FromSize(0, 0, width, height))
{
    SetColor(1, kFace);
    SetColor(2, XColor(0, 0, 0, 255));
    SetColor(3, XColor(60, 60, 60, 255));
    XControl::SetFont(11, 0);
    if (!text.empty()) SetText(text);
}

void XButton::SetDown(bool down)
{
    if (down_ == down) return;
    down_ = down;
    Invalidate();
}

void XButton::SetHighlight(bool on)
{
    SetColor(1, on ? kHighlightFace : kFace);
    Invalidate();
}

bool XButton::SetPicture(std::string_view name)
{
    pressed_.Clear();
    idle_.Clear();
    const bool loaded = picture_.Load(name);
    if (loaded) {
        pressed_ = picture_;
        pressed_.Saturate(2.0f);
        idle_ = picture_;
        idle_.Saturate(0.0f);
    }
    Invalidate();
    return loaded;
}

bool XButton::MouseDown(XMouse* mouse)
{
    hit_ = XRect::FromSize(0, 0, Width(), Height());
    if (toggleMode_) {
        down_ = !down_;
        Invalidate();
        XBroadcaster::ButtonClicked(this, 0);
        return true;
    }
    down_ = true;
    Invalidate();
    return true;
}

void XButton::MouseDrag(XMouse* mouse)
{
    if (toggleMode_) return;
    const bool inside = hit_.Contains(mouse->LocalX(), mouse->LocalY());
    if (inside == down_) return;
    down_ = inside;
    Invalidate();
}

void XButton::MouseUp(XMouse* mouse)
{
    if (toggleMode_ || !down_) return;
    down_ = false;
    Invalidate();
    XBroadcaster::ButtonClicked(this, 0);
}

void XButton::MouseEnter()
{
    hover_ = true;
    if (idle_.IsLoaded()) Invalidate();
}

void XButton::MouseLeave()
{
    hover_ = false;
    if (idle_.IsLoaded()) Invalidate();
}

void XButton::Draw(XGraphic* g)
{
    hit_ = XRect::FromSize(0, 0, Width(), Height());
    if (picture_.IsLoaded()) {
        if (down_) {
            g->DrawPic(pressed_, 0, 0);
        } else if (idle_.IsLoaded() && !hover_) {
            g->DrawPic(idle_, 0, 0);
        } else {
            g->DrawPic(picture_, 0, 0);
        }
        return;
    }
    DrawPlain(g);
}

void XButton::DrawPlain(XGraphic* g)
{
    const XRect r = XRect::FromSize(0, 0, Width(), Height());
    g->Gloss(r, down_ ? GetColor(1) : kUpFace);
    g->Frame(r, GetColor(3));
    g->MakeFont(FontSize(), FontWeight());
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
}
