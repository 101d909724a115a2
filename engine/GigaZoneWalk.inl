// Template part of GigaZoneWalk: the walk itself is inlined into its callers on the audio thread.
#pragma once

#include "gig/DimensionNode.h"
#include "gig/GigaRegion.h"

template <typename Visit>
void GigaZoneWalk::Run(GigaRegion& region, Visit&& visit)
{
    if (const DimensionNode* root = region.Tree()) {
        Walk(region, 0, root, false, visit);
    } else if (region.zoneCount > 0) {
        visit(&region.Zones()[0]);
    }
}

template <typename Visit>
void GigaZoneWalk::Walk(GigaRegion& region, int level, const DimensionNode* group, bool underLayer,
                        Visit& visit)
{
    constexpr int kLayerDimension = 129;
    // The sibling count comes from the region, never from the limits in the nodes: a file's
    // own limits must not lead the walk out of the group.
    if (!group || level >= region.dimensionCount || level >= GigaRegion::kMaxDefinitions) return;
    const int siblings = region.zoneCounts[static_cast<std::size_t>(level)];
    if (siblings <= 0) return;

    if (group[0].type == kLayerDimension && !underLayer) {
        for (int i = 0; i < siblings; ++i) {
            const DimensionNode& node = group[i];
            if (node.zone)
                visit(node.zone);
            else
                Walk(region, level + 1, node.children, true, visit);
        }
        return;
    }
    const int value = Value(group[0].type, region, underLayer);
    int chosen = siblings - 1;
    for (int i = 0; i < siblings; ++i) {
        if (group[i].upperLimit >= value) {
            chosen = i;
            break;
        }
    }
    const DimensionNode& node = group[chosen];
    if (node.zone)
        visit(node.zone);
    else
        Walk(region, level + 1, node.children, underLayer, visit);
}
