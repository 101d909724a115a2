#include "gig/GigaRegion.h"

#include <algorithm>
#include <string>

#include "gig/GigaBytes.h"
#include "gig/GigaChunkContext.h"
#include "gig/GigaConvert.h"
#include "gig/GigaProgram.h"
#include "gig/GigaSample.h"
#include "gig/GigaZoneDecoder.h"

namespace {

constexpr int kMaxKey = 127;
constexpr std::size_t kDefinitionBytes = 8;

bool ValidKey(int key)
{
    return key >= 0 && key <= kMaxKey;
}

}  // namespace

bool GigaRegion::ReadHeader(std::span<const std::uint8_t> data, const GigaChunkContext& context)
{
    const GigaBytes b(data);
    const int low = b.S16(0);
    const int high = b.S16(2);
    if (!ValidKey(low) || !ValidKey(high)) {
        return context.Refuse(
            "GigaRegion::ReadHeader",
            "key range " + std::to_string(low) + ".." + std::to_string(high) + " outside 0..127");
    }
    lowKey = low;
    highKey = high;
    if (program != nullptr) program->MapRegion(*this);
    return true;
}

bool GigaRegion::ReadLinks(std::span<const std::uint8_t> data, int sampleCount,
                           const GigaChunkContext& context, BadIndex badIndex)
{
    constexpr std::string_view where = "GigaRegion::ReadLinks";
    if (zones) return context.Refuse(where, "second '3lnk' in one region");
    const GigaBytes b(data);
    const int definitions = context.Version() < 3 ? 5 : kMaxDefinitions;
    const std::size_t indexBase = 4 + kDefinitionBytes * definitions;
    const std::uint32_t count = b.U32(0);
    if (count > kMaxDimensionRegions) {
        return context.Refuse(where, std::to_string(count) + " dimension regions, at most 256");
    }
    if (!b.Has(indexBase, std::size_t {4} * count)) return context.Refuse(where, "chunk too short");

    std::array<std::int32_t, kMaxDefinitions> usedType {};
    int bits = 0;
    int nodeTotal = 0;
    zoneCount = 1;
    dimensionCount = 0;
    for (int i = 0; i < definitions; ++i) {
        const std::int32_t type = b.U8(4 + kDefinitionBytes * i);
        const int width = b.U8(5 + kDefinitionBytes * i);
        if (type == 0) continue;
        if (width > kMaxBits || bits + width > kMaxTotalBits) {
            return context.Refuse(where, "dimension of " + std::to_string(width) + " bits after " +
                                             std::to_string(bits) +
                                             ", at most 7 each and 8 in all");
        }
        if (program != nullptr) program->dimensionTypesUsed[type] = type;
        const BitField field {bits, (1 << width) - 1};
        bits += width;
        if (type == kTypeSampleChannel) {
            if (sampleChannelDimension >= 0) return context.Refuse(where, "two sample channels");
            sampleChannelDimension = i;
            channelBits = field;
            continue;
        }
        const int split = 1 << width;
        const int j = dimensionCount++;
        zoneCounts[j] = static_cast<std::uint8_t>(split);
        strides[j] = zoneCount;
        usedDefinition[j] = i;
        usedType[j] = type;
        usedBits[j] = field;
        if (type == kTypeReleaseTrigger) hasReleaseTrigger = true;
        if (type == kTypeRoundRobin) roundRobinStep = 128 / split;
        nodeTotal += split * zoneCount;
        zoneCount *= split;
    }
    totalBits = bits;
    dimensionRegionCount = static_cast<std::int32_t>(count);
    zones = std::make_unique<GigaZone[]>(zoneCount);

    const std::uint32_t reachable = std::min<std::uint32_t>(count, 1u << totalBits);
    for (std::uint32_t i = 0; i < reachable; ++i) {
        const int zone = ZoneOfDimensionRegion(static_cast<int>(i));
        if (zone < 0) continue;
        const std::uint32_t index = b.U32(indexBase + 4 * i);
        if (index == kNoSample) continue;
        if (index >= static_cast<std::uint32_t>(sampleCount)) {
            const std::string why = "wave pool index " + std::to_string(index) + " of " +
                                    std::to_string(sampleCount) + " samples";
            if (badIndex == BadIndex::kRefuse) return context.Refuse(where, why);
            context.Warn(where, why + ": its zone stays silent");
            continue;
        }
        zones[zone].sampleIndex = static_cast<std::int32_t>(index);
    }

    if (dimensionCount > 0) {
        nodeCount = nodeTotal + 1;
        nodes = std::make_unique<DimensionNode[]>(nodeCount);
        BuildTree(usedType);
    }
    return true;
}

void GigaRegion::BuildTree(std::span<const std::int32_t> types)
{
    // Level j holds one group of zoneCounts[j] siblings per node of level j - 1, the groups in
    // the order of their parents.
    int levelStart = 0;
    int levelSize = 1;
    for (int j = 0; j < dimensionCount; ++j) {
        const int siblings = zoneCounts[j];
        levelSize *= siblings;
        const int nextStart = levelStart + levelSize;
        const bool last = j == dimensionCount - 1;
        for (int ordinal = 0; ordinal < levelSize; ++ordinal) {
            DimensionNode& node = nodes[levelStart + ordinal];
            const int k = ordinal % siblings;
            node.type = types[j];
            node.upperLimit = (k + 1) * (128 / siblings) - 1;
            if (!last) {
                node.children = &nodes[nextStart + ordinal * zoneCounts[j + 1]];
                continue;
            }
            // The leaf ordinal is the path in mixed radix, first dimension most significant.
            int rest = ordinal;
            int zone = 0;
            for (int d = dimensionCount - 1; d >= 0; --d) {
                zone += (rest % zoneCounts[d]) * strides[d];
                rest /= zoneCounts[d];
            }
            node.zone = &zones[zone];
        }
        levelStart = nextStart;
    }
}

int GigaRegion::ZoneIndex(std::span<const int> digits) const
{
    if (digits.size() != static_cast<std::size_t>(dimensionCount)) return -1;
    int zone = 0;
    for (int j = 0; j < dimensionCount; ++j) {
        if (digits[j] < 0 || digits[j] >= zoneCounts[j]) return -1;
        zone += digits[j] * strides[j];
    }
    return zone;
}

int GigaRegion::ZoneOfDimensionRegion(int index) const
{
    if (!zones || index < 0 || index >= dimensionRegionCount || index >= (1 << totalBits)) {
        return -1;
    }
    // Bits of the dimension region index follow the definitions in file order. The second
    // channel's dimension regions share the first channel's zones.
    if (sampleChannelDimension >= 0 && ((index >> channelBits.shift) & channelBits.mask) != 0) {
        return -1;
    }
    int zone = 0;
    for (int j = 0; j < dimensionCount; ++j) {
        zone += ((index >> usedBits[j].shift) & usedBits[j].mask) * strides[j];
    }
    return zone;
}

bool GigaRegion::ReadDimensionRegion(int index, std::span<const std::uint8_t> wsmp,
                                     std::span<const std::uint8_t> ewa, std::span<GigaSample> pool,
                                     const GigaChunkContext& context)
{
    constexpr std::string_view where = "GigaRegion::ReadDimensionRegion";
    if (!zones) return context.Refuse(where, "dimension region before '3lnk'");
    if (index < 0 || index >= dimensionRegionCount || index >= (1 << totalBits)) {
        return context.Refuse(where,
                              "dimension region " + std::to_string(index) + " of " +
                                  std::to_string(std::min(dimensionRegionCount, 1 << totalBits)));
    }
    const int z = ZoneOfDimensionRegion(index);
    if (z < 0) return true;
    GigaZone& zone = zones[z];
    if (!wsmp.empty()) GigaZoneDecoder::ReadWsmp(wsmp, context.Version(), zone);
    if (!ewa.empty()) {
        const GigaZoneLimits limits = GigaZoneDecoder::Read3ewa(ewa, zone);
        selfMask = selfMask || limits.selfMask;
        sustainDefeat = sustainDefeat || limits.sustainDefeat;
        ApplyLimits(z, limits.velocityUpperLimit, limits.dimensionUpperLimits);
    }
    // The first looping zone lends its loop to a sample that has none of its own.
    if (zone.loopEnabled != 0 && zone.sampleIndex >= 0 &&
        static_cast<std::size_t>(zone.sampleIndex) < pool.size()) {
        GigaSample& sample = pool[static_cast<std::size_t>(zone.sampleIndex)];
        if (sample.loopEnabled == 0) {
            sample.loopEnabled = 1;
            sample.loopStart = zone.loopStart;
            sample.loopEnd = zone.loopEnd;
            sample.SanitiseLoop();
        }
    }
    return true;
}

void GigaRegion::ApplyLimits(int zone, int velocityLimit,
                             std::span<const std::uint8_t> dimensionLimits)
{
    DimensionNode* group = nodes.get();
    for (int j = 0; j < dimensionCount && group != nullptr; ++j) {
        DimensionNode& node = group[zone % zoneCounts[j]];
        zone /= zoneCounts[j];
        if (velocityLimit > 0 && node.type == kTypeVelocity) node.upperLimit = velocityLimit;
        // A zero byte means the dimension keeps its even split.
        const std::uint8_t limit = dimensionLimits[static_cast<std::size_t>(usedDefinition[j])];
        if (limit != 0 && limit <= 127) node.upperLimit = limit;
        group = node.children;
    }
}
