// A value in a well of the top strip or a layer row: its text centred in colour 2.
#pragma once

#include <string_view>

#include "gui/XColor.h"
#include "gui/XControl.h"

class XValTop : public XControl {
public:
    XValTop(int x, int y, int width, int height, int fontSize = 9);

    // Redraws only when the text or the colour changed.
    void Show(std::string_view text, XColor colour);

    void Draw(XGraphic* g) override;
};
