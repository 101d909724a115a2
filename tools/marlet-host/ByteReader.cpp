#include "tools/marlet-host/ByteReader.h"

#include <stdexcept>
#include <string>

void ByteReader::Require(std::size_t count) const
{
    if (count > Remaining())
        throw std::runtime_error("unexpected end of data at byte " + std::to_string(FileOffset()) +
                                 " (" + std::to_string(count) + " bytes needed, " +
                                 std::to_string(Remaining()) + " left)");
}

std::uint8_t ByteReader::U8()
{
    Require(1);
    return bytes_[pos_++];
}

std::uint16_t ByteReader::U16()
{
    const std::uint16_t high = U8();
    return static_cast<std::uint16_t>((high << 8) | U8());
}

std::uint32_t ByteReader::U32()
{
    const std::uint32_t high = U16();
    return (high << 16) | U16();
}

std::uint32_t ByteReader::VariableLength()
{
    const std::size_t start = FileOffset();
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t byte = U8();
        value = (value << 7) | (byte & 0x7Fu);
        if ((byte & 0x80u) == 0) return value;
    }
    throw std::runtime_error("variable-length number longer than four bytes at byte " +
                             std::to_string(start));
}

std::span<const std::uint8_t> ByteReader::Take(std::size_t count)
{
    Require(count);
    const auto piece = bytes_.subspan(pos_, count);
    pos_ += count;
    return piece;
}
