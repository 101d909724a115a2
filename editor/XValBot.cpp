#include "editor/XValBot.h"

#include "editor/GigaViewText.h"

XValBot::XValBot(int x, int y, int width, int height) : XValTop(x, y, width, height, 8) {}

void XValBot::SetValue(double value, double marker, int decimals)
{
    value_ = value;
    marker_ = marker;
    Show(viewtext::ValueText(value, decimals), viewtext::ValueColour(value, marker, decimals));
}

void XValBot::Clear()
{
    value_ = 0;
    marker_ = 0;
    Show({}, GetColor(2));
}
