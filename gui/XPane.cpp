#include "gui/XPane.h"

#include "gui/XGraphic.h"

namespace {

void SetPaneColors(XControl& pane)
{
    pane.SetColor(0, XColor(240, 240, 245, 255));
    pane.SetColor(3, XColor(80, 80, 80, 255));
}

}  // namespace

XPane::XPane()
{
    SetPaneColors(*this);
}

XPane::XPane(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetPaneColors(*this);
}

bool XPane::SetPicture(std::string_view name)
{
    if (!picture_.Load(name)) {
        Invalidate();
        return false;
    }
    SetSize(picture_.Width(), picture_.Height());
    Invalidate();
    return true;
}

void XPane::Draw(XGraphic* g)
{
    if (picture_.IsLoaded()) {
        g->DrawPic(picture_, 0, 0);
        return;
    }
    XControl::Draw(g);
    g->Frame(XRect::FromSize(0, 0, Width(), Height()), GetColor(3));
}
