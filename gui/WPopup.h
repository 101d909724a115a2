// The base of the editor's dialogs: a view shown as a popup, closed by enter (result 1) and
// escape (result 0), drawn as a bevelled frame around a dark vertical gradient with its title.
#pragma once

#include <string_view>

#include "gui/XView.h"

class WPopup : public XView {
public:
    WPopup(int width, int height, std::string_view title = {});

    void Draw(XGraphic* g) override;
};
