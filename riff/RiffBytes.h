// Byte-level rules shared by the RIFF readers and the writer: little-endian size words, the list
// identifiers, and identifier matching.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

namespace riff {

inline constexpr std::int64_t kHeaderBytes = 8;  // identifier and size word
inline constexpr std::int64_t kMaxChunkSize = 0xFFFFFFFF;

constexpr std::uint32_t LoadU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr void StoreU32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Chunks whose payload starts with a four-byte list type.
constexpr bool IsList(std::string_view id)
{
    return id == "RIFF" || id == "FORM" || id == "LIST";
}

// An empty wanted identifier or list type matches anything.
constexpr bool Matches(std::string_view id, std::string_view listType, std::string_view wantedId,
                       std::string_view wantedListType)
{
    return (wantedId.empty() || id == wantedId) &&
           (wantedListType.empty() || listType == wantedListType);
}

// size x count, saturated instead of overflowing; 0 for negative arguments.
constexpr std::int64_t ByteCount(std::int64_t size, std::int64_t count)
{
    if (size <= 0 || count <= 0) return 0;
    if (size > std::numeric_limits<std::int64_t>::max() / count)
        return std::numeric_limits<std::int64_t>::max();
    return size * count;
}

}  // namespace riff
