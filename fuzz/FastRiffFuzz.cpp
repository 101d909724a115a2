// Walks the whole chunk tree of any input with FastRiff, reading every payload. A malformed tree
// may throw the parser's error text; anything else (a crash, a read outside the file, a hang)
// is a finding.
#include <array>
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzFile.h"
#include "riff/FastRiff.h"
#include "riff/RiffBytes.h"

namespace {

void Walk(FastRiff& riff, int level)
{
    while (riff.OpenChunk(level)) {
        if (riff::IsList(riff.ChunkId())) {
            Walk(riff, level + 1);
            continue;
        }
        std::array<char, 4096> payload;
        for (std::int64_t left = riff.ChunkSize(); left > 0;) {
            const std::int64_t take = std::min<std::int64_t>(left, payload.size());
            if (riff.ReadBytes(payload.data(), take) != take) break;
            left -= take;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzfile::ScratchFile scratch;
    // Short inputs are padded so that the fuzzer explores trees, not the size check.
    const std::string& path = scratch.Write(data, size, FastRiff::kMinFileSize);
    FastRiff riff;
    if (!riff.OpenRiff(path)) return 0;
    try {
        Walk(riff, 0);
        riff.Rewind();
        Walk(riff, 0);
    } catch (const char* text) {
        if (std::strcmp(text, "Error in file") != 0) __builtin_trap();
    }
    return 0;
}
