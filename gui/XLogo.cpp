#include "gui/XLogo.h"

#include "gui/XGraphic.h"

XLogo::XLogo(int x, int y, int width, int height) : XButton(x, y, width, height)
{
    if (logo_.Load("tb_marlet.png")) {
        if (Width() == 0 || Height() == 0) SetSize(logo_.Width(), logo_.Height());
        logoPressed_ = logo_;
        logoPressed_.Brighten(1.25f);
    }
}

void XLogo::Draw(XGraphic* g)
{
    // A picture set on the button wins; without any picture the button draws plainly.
    if (!logo_.IsLoaded() || Picture().IsLoaded()) {
        XButton::Draw(g);
        return;
    }
    g->DrawPic(IsDown() ? logoPressed_ : logo_, 0, 0);
}
