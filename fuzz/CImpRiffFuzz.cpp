// Walks the whole chunk tree of any input with CImpRiff, reading every payload both as raw bytes
// and as strings. Nothing may throw, crash, hang or read outside the file.
#include <array>
#include <cstdint>

#include "fuzz/FuzzFile.h"
#include "riff/CImpRiff.h"
#include "riff/RiffBytes.h"

namespace {

void Walk(CImpRiff& riff, int level)
{
    while (riff.OpenChunk(level)) {
        if (riff::IsList(riff.ChunkId())) {
            Walk(riff, level + 1);
            continue;
        }
        const std::int64_t end = riff.DataStart() + riff.ChunkSize();
        std::array<char, 64> text;
        // Alternate string reads of both kinds with raw reads, as the performance reader does.
        for (int turn = 0; riff.Tell() < end; ++turn) {
            const std::int64_t before = riff.Tell();
            if (turn % 3 == 0) riff.ReadString(text, 0);
            if (turn % 3 == 1) riff.ReadString(text, static_cast<int>((end - before) % 100) + 1);
            if (turn % 3 == 2) riff.Read(text.data(), 1, text.size());
            if (riff.Tell() == before) break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzfile::ScratchFile scratch;
    CImpRiff riff;
    if (!riff.OpenRiff(scratch.Write(data, size))) return 0;
    Walk(riff, 0);
    return 0;
}
