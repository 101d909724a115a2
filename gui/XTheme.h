// Up to four colours (the control colour indices 0 to 3) that a container applies to the
// controls it makes; slots never set leave a control's colour alone.
#pragma once

#include <array>
#include <optional>

#include "gui/XColor.h"

class XControl;

class XTheme {
public:
    // Indices outside 0..3 are ignored.
    void SetColor(int index, XColor color);
    std::optional<XColor> GetColor(int index) const;
    void Apply(XControl* control) const;

private:
    std::array<std::optional<XColor>, 4> colors_;
};
