// A list of points, for polygons and polylines (the check mark of check boxes).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class XRegn {
public:
    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
    };

    void Clear() { points_.clear(); }
    void AddPoint(int x, int y) { points_.push_back(Point {x, y}); }
    // False (and x, y untouched) for an index outside the list.
    bool GetPoint(int index, int& x, int& y) const;
    int Count() const { return static_cast<int>(points_.size()); }
    std::span<const Point> Points() const { return points_; }

private:
    std::vector<Point> points_;
};
