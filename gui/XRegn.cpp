#include "gui/XRegn.h"

bool XRegn::GetPoint(int index, int& x, int& y) const
{
    if (index < 0 || index >= Count()) return false;
    x = points_[static_cast<std::size_t>(index)].x;
    y = points_[static_cast<std::size_t>(index)].y;
    return true;
}
