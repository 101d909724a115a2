#include "gui/XToggle.h"

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

XToggle::XToggle() : XToggle(0, 0, 0, 0) {}

XToggle::XToggle(int x, int y, int width, int height, std::string_view text)
    : XControl(x, y, width, height)
{
    SetColor(1, XColor(150, 180, 250, 255));
    SetColor(2, XColor(0, 0, 0, 255));
    if (!text.empty()) SetText(text);
}

bool XToggle::SetPictures(std::string_view onName, std::string_view offName)
{
    off_.Clear();
    if (!on_.Load(onName)) {
        Invalidate();
        return false;
    }
    if (offName.empty() || !off_.Load(offName)) {
        off_ = on_;
        off_.Saturate(0.0f);
    }
    SetSize(on_.Width(), on_.Height());
    Invalidate();
    return true;
}

void XToggle::SetState(std::int32_t state)
{
    const std::int32_t v = state != 0 ? 1 : 0;
    if (v == state_) return;
    state_ = v;
    Invalidate();
}

bool XToggle::MouseDown(XMouse* mouse)
{
    state_ = 1 - state_;
    Invalidate();
    XBroadcaster::ToggleChanged(this, state_);
    return false;
}

void XToggle::Draw(XGraphic* g)
{
    if (on_.IsLoaded()) {
        g->DrawPic(state_ ? on_ : off_, 0, 0);
        return;
    }
    g->Gloss(XRect::FromSize(0, 0, Width(), Height()),
             state_ ? GetColor(1) : XColor(200, 200, 200, 255));
    g->SetFont(xcode::kFontBold);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
}
