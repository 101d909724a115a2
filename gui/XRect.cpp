#include "gui/XRect.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

std::int32_t Clamp32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp(v, kMin, kMax));
}

}  // namespace

XRect XRect::FromSize(int x, int y, int w, int h)
{
    return XRect(x, y, Clamp32(std::int64_t {x} + w - 1), Clamp32(std::int64_t {y} + h - 1));
}

int XRect::Width() const
{
    return Clamp32(std::int64_t {right} - left + 1);
}

int XRect::Height() const
{
    return Clamp32(std::int64_t {bottom} - top + 1);
}

void XRect::Inflate(int n)
{
    left = Clamp32(std::int64_t {left} - n);
    top = Clamp32(std::int64_t {top} - n);
    right = Clamp32(std::int64_t {right} + n);
    bottom = Clamp32(std::int64_t {bottom} + n);
}

void XRect::Offset(int dx, int dy)
{
    left = Clamp32(std::int64_t {left} + dx);
    right = Clamp32(std::int64_t {right} + dx);
    top = Clamp32(std::int64_t {top} + dy);
    bottom = Clamp32(std::int64_t {bottom} + dy);
}

XRect XRect::Intersect(const XRect& other) const
{
    return XRect(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                 std::min(bottom, other.bottom));
}
