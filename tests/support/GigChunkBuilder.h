// Builds RIFF bytes in memory: little-endian values, plain chunks padded to even size, and lists
// whose sizes are patched when they are closed. Also serves to assemble a chunk's payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace testsupport {

class GigChunkBuilder {
public:
    GigChunkBuilder& U8(std::uint8_t v);
    GigChunkBuilder& U16(std::uint16_t v);
    GigChunkBuilder& U32(std::uint32_t v);
    GigChunkBuilder& F32(float v);
    GigChunkBuilder& Id(std::string_view fourCc);
    GigChunkBuilder& Raw(std::span<const std::uint8_t> bytes);
    GigChunkBuilder& Zeros(std::size_t n);
    // Text in a field of exactly `width` bytes (cut, zero-filled).
    GigChunkBuilder& Text(std::string_view text, std::size_t width);

    // Opens 'RIFF' or 'LIST' with its type; Close() patches its size.
    GigChunkBuilder& Open(std::string_view id, std::string_view listType);
    GigChunkBuilder& Close();
    // A plain chunk with its payload (and a pad byte when the size is odd).
    GigChunkBuilder& Chunk(std::string_view id, std::span<const std::uint8_t> payload);
    GigChunkBuilder& Chunk(std::string_view id, const GigChunkBuilder& payload)
    {
        return Chunk(id, payload.Bytes());
    }

    // Overwrites 4 bytes written earlier.
    void PatchU32(std::size_t offset, std::uint32_t v);

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> open_;  // offsets of the size words of open lists
};

}  // namespace testsupport
