#include "engine/GigaZoneWalk.h"

#include "engine/KyTone.h"

namespace {

constexpr int kVelocity = 130;
constexpr int kReleaseTrigger = 132;
constexpr int kRoundRobin = 134;
constexpr int kRandom = 135;

}  // namespace

int GigaZoneWalk::Value(int type, GigaRegion& region, bool underLayer)
{
    if (type == kVelocity) return velocity_;
    if (type == kReleaseTrigger && moment_ == Moment::kRelease) return 127;
    if (!underLayer && moment_ == Moment::kNoteOn) {
        if (type == kRoundRobin) {
            // The counter is the region's: every layer and tone playing it takes turns.
            const int value = region.roundRobinPosition;
            const int next = value + region.roundRobinStep;
            region.roundRobinPosition = next >= 128 || next < 0 ? 0 : next;
            return value;
        }
        if (type == kRandom) {
            random_ ^= random_ << 13;
            random_ ^= random_ >> 17;
            random_ ^= random_ << 5;
            return static_cast<int>(random_ % 128);
        }
    }
    return tone_.ControllerValue(type);
}
