// A plain panel: its background picture, or a fill in colour 0 with an outline in colour 3.
#pragma once

#include <string_view>

#include "gui/XControl.h"
#include "gui/XPic.h"

class XPane : public XControl {
public:
    XPane();
    XPane(int x, int y, int width, int height);

    // Loads the skin picture; when it loaded, the pane takes its size. False when it failed
    // (the pane then keeps drawing plainly).
    bool SetPicture(std::string_view name);
    const XPic& Picture() const { return picture_; }

    void Draw(XGraphic* g) override;

private:
    XPic picture_;
};
