#include "tests/support/GigChunkBuilder.h"

#include <bit>
#include <stdexcept>

namespace testsupport {

GigChunkBuilder& GigChunkBuilder::U8(std::uint8_t v)
{
    bytes_.push_back(v);
    return *this;
}

GigChunkBuilder& GigChunkBuilder::U16(std::uint16_t v)
{
    U8(static_cast<std::uint8_t>(v));
    return U8(static_cast<std::uint8_t>(v >> 8));
}

GigChunkBuilder& GigChunkBuilder::U32(std::uint32_t v)
{
    U16(static_cast<std::uint16_t>(v));
    return U16(static_cast<std::uint16_t>(v >> 16));
}

GigChunkBuilder& GigChunkBuilder::F32(float v)
{
    return U32(std::bit_cast<std::uint32_t>(v));
}

GigChunkBuilder& GigChunkBuilder::Id(std::string_view fourCc)
{
    if (fourCc.size() != 4) throw std::invalid_argument("chunk id must have four characters");
    for (const char c : fourCc) U8(static_cast<std::uint8_t>(c));
    return *this;
}

GigChunkBuilder& GigChunkBuilder::Raw(std::span<const std::uint8_t> bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

GigChunkBuilder& GigChunkBuilder::Zeros(std::size_t n)
{
    bytes_.insert(bytes_.end(), n, 0);
    return *this;
}

GigChunkBuilder& GigChunkBuilder::Text(std::string_view text, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) {
        U8(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
    return *this;
}

GigChunkBuilder& GigChunkBuilder::Open(std::string_view id, std::string_view listType)
{
    Id(id);
    open_.push_back(bytes_.size());
    U32(0);
    return Id(listType);
}

GigChunkBuilder& GigChunkBuilder::Close()
{
    if (open_.empty()) throw std::logic_error("no open list");
    const std::size_t sizeWord = open_.back();
    open_.pop_back();
    PatchU32(sizeWord, static_cast<std::uint32_t>(bytes_.size() - sizeWord - 4));
    return *this;
}

GigChunkBuilder& GigChunkBuilder::Chunk(std::string_view id, std::span<const std::uint8_t> payload)
{
    Id(id);
    U32(static_cast<std::uint32_t>(payload.size()));
    Raw(payload);
    if (payload.size() & 1) U8(0);
    return *this;
}

void GigChunkBuilder::PatchU32(std::size_t offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace testsupport
