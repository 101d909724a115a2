// One instrument of a bank. Its name and group settings are known from the bank walk on; its
// regions exist only while it is loaded (regionCount above 0). Holders (tones) count themselves
// with Retain/Release; the last Release unloads it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "gig/GigaRegion.h"

class GigaChunkContext;

class GigaProgram {
public:
    static constexpr int kKeys = 128;
    static constexpr int kDimensionTypes = 256;
    // More regions than this cannot be told apart by key and are taken as a damaged file.
    static constexpr std::uint32_t kMaxRegions = 1024;

    // Told of every holder that comes (+1) or goes (-1) while the program streams from disk; set
    // by whoever runs the streaming thread.
    using StreamUserHook = void (*)(int delta);
    static void SetStreamUserHook(StreamUserHook hook);

    GigaProgram() = default;
    GigaProgram(const GigaProgram&) = delete;
    GigaProgram& operator=(const GigaProgram&) = delete;

    // 'insh': allocates the regions (refused when a program is still loaded or when the count is
    // beyond kMaxRegions).
    bool ReadInstrumentHeader(std::span<const std::uint8_t> data, const GigaChunkContext& context);
    // '3ewg': pitch bend range and the key-switch key range.
    void ReadGroup(std::span<const std::uint8_t> data);
    // 'INAM': the cleaned instrument name.
    void ReadName(std::span<const std::uint8_t> data);

    // Enters a region's keys into the key map; a later region overwrites an earlier one.
    void MapRegion(GigaRegion& region);
    // After a load: a program without a keyboard dimension has no key-switch range.
    void FinishLoad();
    // Frees the regions (and with them the zones, trees and sample links).
    void Unload();

    bool Loaded() const { return regionCount > 0; }
    std::span<GigaRegion> Regions()
    {
        return {regions.get(), static_cast<std::size_t>(regionCount)};
    }
    GigaRegion* RegionForKey(int key) const
    {
        return key >= 0 && key < kKeys ? keyRegion[static_cast<std::size_t>(key)] : nullptr;
    }

    // Holder counting; both answer the new count.
    int Retain();
    int Release();

    std::int32_t fileOffset = 0;
    std::int32_t distinctSampleCount = 0;
    std::int32_t maxBitDepth = 16;
    std::int32_t lowestKey = 127;
    std::int32_t highestKey = 0;
    std::int32_t dimensionKeyLow = 0;
    std::int32_t dimensionKeyHigh = 0;
    std::int16_t pitchBendRange = 0;
    std::int32_t refCount = 0;
    std::int32_t index = 0;
    std::string name;
    bool needsStreaming = false;
    std::array<std::int32_t, kDimensionTypes> dimensionTypesUsed {};
    std::unique_ptr<GigaRegion[]> regions;
    std::int32_t regionCount = 0;
    std::array<GigaRegion*, kKeys> keyRegion {};

private:
    static std::atomic<StreamUserHook> streamUserHook_;
};
