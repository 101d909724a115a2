#include "editor/StackKeySwitch.h"

#include <algorithm>

namespace {

constexpr int kTopKey = 127;

}  // namespace

void StackKeySwitch::Settle(int layers, int lowest, int highest)
{
    if (high == 0) PlaceBelow(layers, lowest, highest);
}

void StackKeySwitch::PlaceBelow(int layers, int lowest, int highest)
{
    const int count = std::max(layers, 1);
    if (lowest - count >= 0) {
        high = lowest - 1;
        low = high - count + 1;
        return;
    }
    if (PlaceAbove(layers, highest)) return;
    // The played keys leave room on neither side: the top keys, as far as they go.
    high = kTopKey;
    low = std::max(0, kTopKey - count + 1);
}

bool StackKeySwitch::PlaceAbove(int layers, int highest)
{
    const int count = std::max(layers, 1);
    if (highest + count > kTopKey) return false;
    low = highest + 1;
    high = low + count - 1;
    return true;
}

void StackKeySwitch::StepDown(int layers, int lowest, int highest)
{
    if (low <= 0) return;
    --low;
    --high;
    if (low == highest) PlaceBelow(layers, lowest, highest);
}

void StackKeySwitch::StepUp(int layers, int lowest, int highest)
{
    if (high >= kTopKey) return;
    ++low;
    ++high;
    if (high == lowest && !PlaceAbove(layers, highest)) {
        --low;
        --high;
    }
}
