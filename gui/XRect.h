// A rectangle with both corners inclusive: XRect(0, 0, 9, 9) is 10 x 10 pixels. A rectangle
// whose right is left of its left (or bottom above its top) is empty.
#pragma once

#include <cstdint>

class XRect {
public:
    constexpr XRect() = default;
    constexpr XRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), right(r), top(t), bottom(b)
    {
    }
    // The rectangle of w x h pixels with its top-left at (x, y).
    static XRect FromSize(int x, int y, int w, int h);

    // right - left + 1 and bottom - top + 1, computed without overflow and clamped to the
    // range of int (0 or negative for an empty rectangle).
    int Width() const;
    int Height() const;
    bool IsEmpty() const { return right < left || bottom < top; }

    // Left and top decrease by n, right and bottom increase by n; a negative n shrinks.
    void Inflate(int n);
    void Offset(int dx, int dy);
    XRect Inflated(int n) const
    {
        XRect r = *this;
        r.Inflate(n);
        return r;
    }
    XRect Offsetted(int dx, int dy) const
    {
        XRect r = *this;
        r.Offset(dx, dy);
        return r;
    }
    // Inclusive on all four sides.
    constexpr bool Contains(int x, int y) const
    {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
    // The common part; empty (IsEmpty) when the two do not overlap.
    XRect Intersect(const XRect& other) const;
    bool Overlaps(const XRect& other) const { return !Intersect(other).IsEmpty(); }

    friend constexpr bool operator==(const XRect&, const XRect&) = default;

    // Stored in this order.
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};
