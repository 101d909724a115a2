// The walk down a region's dimension tree to the zones a note plays: velocity, key switch,
// round robin, random and controller splits pick one branch; a layer dimension plays every one.
#pragma once

#include <cstdint>

class GigaRegion;
class GigaZone;
class KyTone;

class GigaZoneWalk {
public:
    // Note-on values, or the values of the release half when a note-off starts release voices.
    enum class Moment { kNoteOn, kRelease };

    GigaZoneWalk(const KyTone& tone, Moment moment, int velocity, std::uint32_t& random)
        : tone_(tone), moment_(moment), velocity_(velocity), random_(random)
    {
    }

    // Calls visit(zone) for every zone the note reaches (zones without samples included).
    template <typename Visit>
    void Run(GigaRegion& region, Visit&& visit);

    // The source value a dimension of type `type` is matched with.
    int Value(int type, GigaRegion& region, bool underLayer);

private:
    template <typename Visit>
    void Walk(GigaRegion& region, int level, const struct DimensionNode* group, bool underLayer,
              Visit& visit);

    const KyTone& tone_;
    Moment moment_;
    int velocity_;
    std::uint32_t& random_;
};

#include "engine/GigaZoneWalk.inl"
