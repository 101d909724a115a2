#include "engine/GigaCrossfade.h"

float GigaCrossfade::Gain(int value, const Points& points, bool invert)
{
    const int inStart = points[0], inEnd = points[1], outStart = points[2], outEnd = points[3];
    const float a = static_cast<float>(value);
    if (outEnd == 0) {
        const float x = a / 127.0f;
        return invert ? Fall(x) : Rise(x);
    }
    // Each branch is only reached with a non-empty range, so the divisions are safe.
    if (value < inStart) return 0.0f;
    if (value < inEnd) return Rise((a - inStart) / static_cast<float>(inEnd - inStart));
    if (value < outStart) return 1.0f;
    if (value < outEnd) return Fall((a - outStart) / static_cast<float>(outEnd - outStart));
    return 0.0f;
}
