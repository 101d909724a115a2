#include "gig/GigaProgram.h"

#include <algorithm>

#include "gig/GigaBytes.h"
#include "gig/GigaChunkContext.h"
#include "gig/GigaConvert.h"

std::atomic<GigaProgram::StreamUserHook> GigaProgram::streamUserHook_ {nullptr};

void GigaProgram::SetStreamUserHook(StreamUserHook hook)
{
    streamUserHook_.store(hook, std::memory_order_release);
}

bool GigaProgram::ReadInstrumentHeader(std::span<const std::uint8_t> data,
                                       const GigaChunkContext& context)
{
    constexpr std::string_view where = "GigaProgram::ReadInstrumentHeader";
    if (regions) return context.Refuse(where, "program already has regions");
    const std::uint32_t count = GigaBytes(data).U32(0);
    if (count > kMaxRegions) {
        return context.Refuse(
            where, std::to_string(count) + " regions, at most " + std::to_string(kMaxRegions));
    }
    regions = std::make_unique<GigaRegion[]>(count);
    for (std::uint32_t r = 0; r < count; ++r) regions[r].program = this;
    regionCount = static_cast<std::int32_t>(count);
    return true;
}

void GigaProgram::ReadGroup(std::span<const std::uint8_t> data)
{
    const GigaBytes b(data);
    pitchBendRange = b.S16(8);
    dimensionKeyLow = b.U8(10) >> 1;
    dimensionKeyHigh = b.U8(11);
}

void GigaProgram::ReadName(std::span<const std::uint8_t> data)
{
    name = GigaConvert::CleanName(
        std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

void GigaProgram::MapRegion(GigaRegion& region)
{
    lowestKey = std::min(lowestKey, region.lowKey);
    highestKey = std::max(highestKey, region.highKey);
    for (int key = region.lowKey; key <= region.highKey; ++key) {
        keyRegion[static_cast<std::size_t>(key)] = &region;
    }
}

void GigaProgram::FinishLoad()
{
    if (dimensionTypesUsed[GigaRegion::kTypeKeyboard] == 0) {
        dimensionKeyLow = 0;
        dimensionKeyHigh = 0;
    }
}

void GigaProgram::Unload()
{
    keyRegion.fill(nullptr);
    regions.reset();
    regionCount = 0;
    dimensionTypesUsed.fill(0);
    lowestKey = 127;
    highestKey = 0;
    needsStreaming = false;
}

int GigaProgram::Retain()
{
    ++refCount;
    if (needsStreaming) {
        if (const StreamUserHook hook = streamUserHook_.load(std::memory_order_acquire)) hook(+1);
    }
    return refCount;
}

int GigaProgram::Release()
{
    if (refCount <= 0) return 0;
    --refCount;
    if (needsStreaming) {
        if (const StreamUserHook hook = streamUserHook_.load(std::memory_order_acquire)) hook(-1);
    }
    if (refCount == 0) Unload();
    return refCount;
}
