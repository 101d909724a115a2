// Reader of the program's own RIFF files (performances, host state). Unlike FastRiff it takes
// sizes as they stand (no padding), does not validate identifiers and never throws: a malformed
// or truncated tree simply ends with a false result.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "riff/UFileDisk.h"

class CImpRiff : public UFileDisk {
public:
    static constexpr int kMaxLevels = 40;

    bool OpenRiff(const std::string& path, bool swap = false);
    // The same reading over bytes in memory (a host chunk); they must outlive the reading.
    bool OpenRiffMemory(std::span<const std::byte> bytes);

    // Steps to the next chunk at nesting level `level`; OpenChunk(level + 1) after entering a
    // list reads its first child. False when the enclosing chunk or the file has no more.
    bool OpenChunk(int level);
    // An empty argument matches anything.
    bool ChunkCmp(std::string_view id, std::string_view listType = {}) const;
    std::string_view ChunkId() const { return {id_.data(), 4}; }
    // Four zero bytes for plain chunks.
    std::string_view ListType() const { return {listType_.data(), 4}; }
    std::int64_t ChunkSize() const { return chunkSize_; }
    // Offset of the payload of the current chunk (after the list type for lists).
    std::int64_t DataStart() const { return dataStart_; }
    int Level() const { return level_; }

    // True when more than 0 bytes came.
    bool Read(void* dst, std::int64_t size, std::int64_t count);
    // Bytes of the current chunk not read yet.
    std::int64_t ChunkBytesLeft() const;
    // Little-endian values from the current chunk. Nothing is read and false is answered when
    // the chunk does not hold them all, so a short chunk never reads into its neighbour.
    bool ReadInts(std::span<std::int32_t> values);
    bool ReadFloats(std::span<float> values);
    // len >= 1: reads exactly len bytes; len < 1: reads up to and including a zero byte. The text
    // is stored zero-terminated, cut to what fits in buf; the bytes are consumed either way.
    // False when nothing could be read.
    bool ReadString(std::span<char> buf, int len);

private:
    void ResetTree();

    std::array<std::int64_t, kMaxLevels> ends_ {};
    int level_ = -1;
    std::int64_t dataStart_ = 0;
    std::array<char, 5> id_ {};
    std::array<char, 5> listType_ {};
    std::int64_t chunkSize_ = 0;
};
