#include "gui/XTheme.h"

#include "gui/XControl.h"

void XTheme::SetColor(int index, XColor color)
{
    if (index < 0 || index >= static_cast<int>(colors_.size())) return;
    colors_[static_cast<std::size_t>(index)] = color;
}

std::optional<XColor> XTheme::GetColor(int index) const
{
    if (index < 0 || index >= static_cast<int>(colors_.size())) return std::nullopt;
    return colors_[static_cast<std::size_t>(index)];
}

void XTheme::Apply(XControl* control) const
{
    if (!control) return;
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        if (colors_[i]) control->SetColor(static_cast<int>(i), *colors_[i]);
    }
    control->Invalidate();
}
