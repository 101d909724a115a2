#include "engine/GigaZoneWalk.h"

#include "engine/KyTone.h"

int GigaZoneWalk::Value(int type, GigaRegion& region, bool underLayer)
{
    if (type == KyControllerSources::kVelocity) return velocity_;
    if (type == KyControllerSources::kReleaseTrigger && moment_ == Moment::kRelease) return 127;
    if (!underLayer && moment_ == Moment::kNoteOn) {
        if (type == KyControllerSources::kRoundRobin) {
            // The counter is the region's: every layer and tone playing it takes turns.
            const int value = region.roundRobinPosition;
            const int next = value + region.roundRobinStep;
            region.roundRobinPosition = next >= 128 || next < 0 ? 0 : next;
            return value;
        }
        if (type == KyControllerSources::kRandom) {
            random_ ^= random_ << 13;
            random_ ^= random_ >> 17;
            random_ ^= random_ << 5;
            return static_cast<int>(random_ % 128);
        }
    }
    return tone_.ControllerValue(type);
}
