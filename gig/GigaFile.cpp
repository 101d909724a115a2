#include "gig/GigaFile.h"

#include <algorithm>
#include <array>

#include "gig/GigaChunkContext.h"
#include "gig/GigaSample.h"
#include "gig/GigaSampleDecoder.h"

namespace {

constexpr std::int64_t kListHeaderBytes = 12;
// The wave chunks read hold at most 88 meaningful bytes; larger ones are cut.
constexpr std::size_t kWaveChunkBytes = 256;

}  // namespace

GigaFile::GigaFile() : FastRiff(CutFiles::kRead) {}
GigaFile::~GigaFile() = default;

bool GigaFile::Open(const std::string& filePath, std::int64_t knownWavePoolOffset)
{
    Close();
    path.clear();
    wavePoolOffset = 0;
    if (!OpenRiff(filePath)) return false;
    path = filePath;
    if (knownWavePoolOffset != 0) {
        wavePoolOffset = knownWavePoolOffset;
        return true;
    }
    if (!OpenChunk(0) || !ChunkCmp("RIFF", "DLS ")) {
        Log("*** GigaFile::Open(%s) not a DLS file ***", filePath.c_str());
        return false;
    }
    while (OpenChunk(1)) {
        if (ChunkCmp("LIST", "wvpl")) {
            wavePoolOffset = Tell() - kListHeaderBytes;
            return true;
        }
    }
    Log("*** GigaFile::Open(%s) no wave pool ***", filePath.c_str());
    return false;
}

int GigaFile::ReadWavePool(std::span<GigaSample> samples)
{
    poolCut_ = false;
    if (samples.empty() || wavePoolOffset <= 0) return 0;
    Rewind();
    Seek(wavePoolOffset);
    if (!OpenChunk(0) || !ChunkCmp("LIST", "wvpl")) {
        Log("*** GigaFile::ReadWavePool(%s) no wave pool at %lld ***", path.c_str(),
            static_cast<long long>(wavePoolOffset));
        return 0;
    }
    poolCut_ = ChunkCut();
    const GigaChunkContext context(*this, path, 0);
    std::array<std::uint8_t, kWaveChunkBytes> buffer {};
    std::size_t filled = 0;
    bool compressedPool = false;  // a whole wave before this one is block-compressed
    while (filled < samples.size() && OpenChunk(1)) {
        if (ChunkCmp("einf")) break;
        if (!ChunkCmp("LIST", "wave")) continue;
        const bool cut = ChunkCut();
        bool extensionRead = false;
        GigaSample& sample = samples[filled++];
        sample.file = this;
        GigaSampleDecoder decoder(sample);
        while (OpenChunk(2)) {
            if (ChunkCmp("data")) {
                // Of data cut short, a last odd byte is no pad but half a value.
                const std::int64_t size =
                    ChunkCut() ? ChunkSize() & ~std::int64_t {1} : ChunkSize();
                decoder.ReadData(Tell(), static_cast<std::uint32_t>(size));
                continue;
            }
            const bool format = ChunkCmp("fmt ");
            const bool loop = ChunkCmp("smpl");
            const bool extension = ChunkCmp("ewav");
            if (!format && !loop && !extension) continue;
            buffer.fill(0);
            const auto n =
                ReadBytes(buffer.data(), std::min<std::int64_t>(ChunkSize(), kWaveChunkBytes));
            const std::span<const std::uint8_t> bytes(
                buffer.data(), static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
            if (format) decoder.ReadFormat(bytes);
            if (loop) decoder.ReadSampleLoop(bytes);
            if (extension) decoder.ReadExtension(bytes);
            extensionRead = extensionRead || extension;
        }
        decoder.Finish(context);
        if (cut) {
            // The cut may have taken the 'ewav' that marks compressed data; among compressed
            // waves, data without one are not taken for plain values.
            if (!extensionRead && compressedPool) {
                context.Warn("GigaFile::ReadWavePool", "a wave cut short lost its 'ewav'");
                sample.frameCount = 0;
            }
            sample.presence =
                sample.Playable() ? GigaSample::Presence::kCut : GigaSample::Presence::kLost;
        }
        compressedPool = compressedPool || sample.Compressed();
    }
    return static_cast<int>(filled);
}
