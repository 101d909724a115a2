// A line of text, left-aligned and vertically centred, in the label's font. Transparent by
// default: the parent shows behind the text.
#pragma once

#include <string_view>

#include "gui/XControl.h"

class XLabel : public XControl {
public:
    XLabel();
    XLabel(int x, int y, int width, int height, std::string_view text = {});

    void Draw(XGraphic* g) override;
};
