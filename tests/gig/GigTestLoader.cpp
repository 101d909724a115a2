#include "tests/gig/GigTestLoader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "gig/GigaBytes.h"
#include "gig/GigaChunkContext.h"

namespace {

constexpr std::int64_t kMaxPayload = 1 << 20;

std::vector<std::uint8_t> Payload(FastRiff& riff)
{
    std::vector<std::uint8_t> bytes(
        static_cast<std::size_t>(std::min(riff.ChunkSize(), kMaxPayload)));
    const auto n = riff.ReadBytes(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
    return bytes;
}

bool ReadRegion(GigaFile& riff, GigaRegion& region, LoadedGig& gig, const GigaChunkContext& c)
{
    while (riff.OpenChunk(5)) {
        if (riff.ChunkCmp("rgnh") && !region.ReadHeader(Payload(riff), c)) return false;
        if (riff.ChunkCmp("3lnk") &&
            !region.ReadLinks(Payload(riff), static_cast<int>(gig.samples.size()), c)) {
            return false;
        }
        if (!riff.ChunkCmp("LIST", "3prg")) continue;
        for (int i = 0; riff.OpenChunk(6); ++i) {
            std::vector<std::uint8_t> wsmp, ewa;
            while (riff.OpenChunk(7)) {
                if (riff.ChunkCmp("wsmp")) wsmp = Payload(riff);
                if (riff.ChunkCmp("3ewa")) ewa = Payload(riff);
            }
            if (!region.ReadDimensionRegion(i, wsmp, ewa, gig.samples, c)) return false;
        }
    }
    for (GigaZone& zone : region.Zones()) {
        if (zone.sampleIndex >= 0)
            zone.LinkSample(gig.samples[static_cast<std::size_t>(zone.sampleIndex)]);
    }
    return true;
}

bool ReadInstrument(GigaFile& riff, GigaProgram& program, LoadedGig& gig, const GigaChunkContext& c)
{
    while (riff.OpenChunk(3)) {
        if (riff.ChunkCmp("insh") && !program.ReadInstrumentHeader(Payload(riff), c)) return false;
        if (riff.ChunkCmp("LIST", "lart") && riff.OpenChunk(4) && riff.ChunkCmp("3ewg")) {
            program.ReadGroup(Payload(riff));
        }
        if (riff.ChunkCmp("LIST", "INFO") && riff.OpenChunk(4) && riff.ChunkCmp("INAM")) {
            program.ReadName(Payload(riff));
        }
        if (!riff.ChunkCmp("LIST", "lrgn")) continue;
        for (auto& region : program.Regions()) {
            if (!riff.OpenChunk(4) || !riff.ChunkCmp("LIST", "rgn ")) return false;
            if (!ReadRegion(riff, region, gig, c)) return false;
        }
    }
    program.FinishLoad();
    return true;
}

}  // namespace

bool LoadGig(const std::string& path, LoadedGig& gig, const QelLog& log)
{
    auto main = std::make_unique<GigaFile>();
    GigaFile& riff = *main;
    gig.files.push_back(std::move(main));
    if (!riff.Open(path)) return false;

    // First pass: version, pool size and extension files.
    std::uint32_t sampleCount = 0;
    std::vector<std::string> extensions;
    riff.Rewind();
    if (!riff.OpenChunk(0) || !riff.ChunkCmp("RIFF", "DLS ")) return false;
    while (riff.OpenChunk(1)) {
        if (riff.ChunkCmp("vers")) gig.version = GigaBytes(Payload(riff)).U16(2);
        if (riff.ChunkCmp("ptbl")) sampleCount = GigaBytes(Payload(riff)).U32(4);
        if (riff.ChunkCmp("xfil")) {
            const auto bytes = Payload(riff);
            const GigaBytes b(bytes);
            for (std::uint32_t i = 0; i < b.U32(0) && b.Has(4 + 144 * i, 128); ++i) {
                const char* name = reinterpret_cast<const char*>(bytes.data() + 4 + 144 * i);
                extensions.emplace_back(name, strnlen(name, 128));
            }
        }
    }
    if (sampleCount == 0 || sampleCount > 100000) return false;
    gig.samples = std::vector<GigaSample>(sampleCount);
    std::size_t filled = static_cast<std::size_t>(riff.ReadWavePool(gig.samples));
    const auto folder = std::filesystem::path(path).parent_path();
    for (const auto& name : extensions) {
        auto extension = std::make_unique<GigaFile>();
        if (!extension->Open((folder / name).string())) return false;
        filled += static_cast<std::size_t>(
            extension->ReadWavePool(std::span(gig.samples).subspan(filled)));
        gig.files.push_back(std::move(extension));
    }

    // Second pass: the instruments.
    const GigaChunkContext context(log, path, gig.version);
    riff.Rewind();
    riff.OpenChunk(0);
    while (riff.OpenChunk(1)) {
        if (!riff.ChunkCmp("LIST", "lins")) continue;
        while (riff.OpenChunk(2)) {
            if (!riff.ChunkCmp("LIST", "ins ")) continue;
            auto program = std::make_unique<GigaProgram>();
            program->index = static_cast<int>(gig.programs.size());
            if (!ReadInstrument(riff, *program, gig, context)) return false;
            gig.programs.push_back(std::move(program));
        }
    }
    return true;
}
