#include "gui/XColor.h"

#include <algorithm>

namespace {

std::uint8_t ScaleChannel(std::uint8_t channel, float factor)
{
    // Truncation toward zero, then the clamp: what a float-to-int conversion does.
    const float scaled = static_cast<float>(channel) * factor;
    if (!(scaled > 0.0f)) return 0;  // also catches NaN
    if (scaled >= 255.0f) return 255;
    return static_cast<std::uint8_t>(scaled);
}

}  // namespace

XColor XColor::Scaled(float factor) const
{
    return XColor(ScaleChannel(red, factor), ScaleChannel(green, factor),
                  ScaleChannel(blue, factor), alpha);
}
