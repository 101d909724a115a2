// The product's logo in the toolbar: a button that shows the logo picture and takes its size.
#pragma once

#include "gui/XButton.h"
#include "gui/XPic.h"

class XLogo : public XButton {
public:
    // Without a size the logo's own size is taken (when the picture loaded).
    XLogo(int x = 0, int y = 0, int width = 0, int height = 0);

    const XPic& Logo() const { return logo_; }

    void Draw(XGraphic* g) override;

private:
    XPic logo_;
    XPic logoPressed_;
};
