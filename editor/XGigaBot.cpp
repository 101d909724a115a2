#include "editor/XGigaBot.h"

#include "gui/XGraphic.h"

XGigaBot::XGigaBot(int x, int y, int width, int height, bool stack)
    : XControl(x, y, width, height), stack_(stack)
{
    SetColor(0, XColor(32, 32, 32));
    if (stack_) return;
    panel_.Load("view_bot.png");
    grey_ = panel_;
    grey_.Saturate(0.0f);
    grey_.Brighten(0.7f);
}

void XGigaBot::SetGreyed(bool greyed)
{
    if (greyed == greyed_) return;
    greyed_ = greyed;
    Invalidate();
}

void XGigaBot::Draw(XGraphic* g)
{
    XControl::Draw(g);
    if (!stack_) g->DrawPic(greyed_ ? grey_ : panel_, 0, 0);
}
