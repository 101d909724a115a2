// One key region of a program ('rgn ' list): its key range, its dimension definitions with the
// tree that selects a zone, and the zones themselves. Arrays are allocated once, when the
// region's '3lnk' is read, and never resized.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "gig/DimensionNode.h"
#include "gig/GigaZone.h"
#include "platform/Relaxed.h"

class GigaChunkContext;
class GigaProgram;
class GigaSample;

class GigaRegion {
public:
    static constexpr int kMaxDefinitions = 8;
    static constexpr int kMaxDimensionRegions = 256;
    // A zone count is kept in a byte, and 2^8 dimension regions is all the format holds.
    static constexpr int kMaxBits = 7;
    static constexpr int kMaxTotalBits = 8;
    static constexpr std::uint32_t kNoSample = 0xFFFFFFFF;

    static constexpr std::int32_t kTypeSampleChannel = 0x80;
    static constexpr std::int32_t kTypeVelocity = 0x82;
    static constexpr std::int32_t kTypeReleaseTrigger = 0x84;
    static constexpr std::int32_t kTypeKeyboard = 0x85;
    static constexpr std::int32_t kTypeRoundRobin = 0x86;

    GigaRegion() = default;
    GigaRegion(const GigaRegion&) = delete;
    GigaRegion& operator=(const GigaRegion&) = delete;

    // 'rgnh': the key range, entered into the owning program's key map. Keys outside 0..127 are
    // refused.
    bool ReadHeader(std::span<const std::uint8_t> data, const GigaChunkContext& context);
    // What ReadLinks makes of a wave pool index at or beyond the sample count.
    enum class BadIndex {
        kRefuse,   // the region is refused
        kSilence,  // the zone is left without a sample (and the index is logged)
    };

    // '3lnk': dimension definitions (five below file version 3, eight from 3 on) and the wave pool
    // index of every dimension region. Builds the zones and the dimension tree. Refuses more than
    // 256 dimension regions, dimensions of more than 7 bits (8 in total), a second sample-channel
    // dimension, and a chunk too short for its tables; wave pool indices at or beyond
    // `sampleCount` as `badIndex` says.
    bool ReadLinks(std::span<const std::uint8_t> data, int sampleCount,
                   const GigaChunkContext& context, BadIndex badIndex = BadIndex::kRefuse);
    // The 'wsmp' and '3ewa' of dimension region `index` (its position in the '3prg' list).
    // Dimension regions of the second sample channel are skipped; their zone plays both channels
    // of the first one's sample. `pool` is the bank's wave pool, for the loop hand-over.
    bool ReadDimensionRegion(int index, std::span<const std::uint8_t> wsmp,
                             std::span<const std::uint8_t> ewa, std::span<GigaSample> pool,
                             const GigaChunkContext& context);

    // Zone reached by taking digit[j] on used dimension j.
    int ZoneIndex(std::span<const int> digits) const;
    // Zone that dimension region `index` maps to, or -1 for the second sample channel.
    int ZoneOfDimensionRegion(int index) const;

    std::span<GigaZone> Zones() { return {zones.get(), static_cast<std::size_t>(zoneCount)}; }
    std::span<const GigaZone> Zones() const
    {
        return {zones.get(), static_cast<std::size_t>(zoneCount)};
    }
    // Root level of the tree (zoneCounts[0] siblings), or null when no dimension is used.
    const DimensionNode* Tree() const { return dimensionCount > 0 ? nodes.get() : nullptr; }
    int NodeCount() const { return nodeCount; }

    GigaProgram* program = nullptr;
    std::int32_t lowKey = 0;
    std::int32_t highKey = 0;
    bool selfMask = false;
    bool hasReleaseTrigger = false;
    bool sustainDefeat = false;
    std::unique_ptr<DimensionNode[]> nodes;
    std::int32_t sampleChannelDimension = -1;
    std::array<std::uint8_t, kMaxDefinitions> zoneCounts {};
    std::array<std::int32_t, kMaxDefinitions> strides {};
    // File definition index of each used dimension (the byte of the dimension upper limits).
    std::array<std::int32_t, kMaxDefinitions> usedDefinition {};
    std::int32_t dimensionCount = 0;
    std::int32_t zoneCount = 0;
    std::unique_ptr<GigaZone[]> zones;
    // Shared by every tone that plays this region, also from several plug-in instances' audio
    // threads; a lost step between two of them does no harm, a torn value would.
    Relaxed<std::int32_t> roundRobinPosition {0};
    std::int32_t roundRobinStep = 0;

private:
    struct BitField {
        int shift = 0;
        int mask = 0;
    };

    void BuildTree(std::span<const std::int32_t> types);
    void ApplyLimits(int zone, int velocityLimit, std::span<const std::uint8_t> dimensionLimits);

    int nodeCount = 0;
    std::int32_t dimensionRegionCount = 0;
    int totalBits = 0;
    BitField channelBits;
    std::array<BitField, kMaxDefinitions> usedBits {};
};
