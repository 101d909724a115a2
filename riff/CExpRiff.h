// Writer of the program's own RIFF files. Each open chunk counts the bytes written into it; when
// it is closed its size word is patched in place. No pad bytes are added for odd sizes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "riff/UFileDisk.h"

class CExpRiff : public UFileDisk {
public:
    static constexpr int kMaxOpenChunks = 20;

    // Empties the chunk stack and creates the file.
    bool Create(const std::string& path, bool swap = false);
    // The same writing into memory; the bytes are in MemoryBytes() after Close.
    bool CreateMemory();

    // Writes id (when given) and a zero size word, then listType (when given) inside the new
    // chunk. Identifiers are exactly four bytes. False when nothing could be written.
    bool StartChunk(std::string_view id, std::string_view listType = {});
    // Patches the size of the innermost open chunk.
    bool EndChunk();
    int Depth() const { return depth_; }

    bool WriteByte(std::uint8_t v);
    bool WriteInt(std::int32_t v);
    bool WriteFloat(float v);
    // A whole chunk of little-endian ints, such as "indx" or "para".
    bool WriteIntChunk(std::string_view id, std::span<const std::int32_t> values);
    // len 0 writes the whole text; otherwise exactly len bytes (zeros after the text's end).
    // No terminator, but an odd length gets one zero byte: "abc" takes 4 bytes.
    bool WriteString(std::string_view text, int len = 0);
    bool WriteBytes(std::span<const std::byte> bytes);

    // Also reports chunks left open as a failure.
    bool Close() override;

private:
    struct OpenChunkEntry {
        std::int64_t sizeOffset = 0;
        std::int64_t written = 0;
    };

    bool Put(const void* src, std::int64_t n);

    std::array<OpenChunkEntry, kMaxOpenChunks> stack_ {};
    int depth_ = 0;
};
