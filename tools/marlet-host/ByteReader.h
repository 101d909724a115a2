// A bounds-checked cursor over big-endian binary data. Every read that would pass the end throws
// std::runtime_error naming the file offset, so parsers built on it cannot read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class ByteReader {
public:
    // `base` is the offset of bytes[0] in the whole file, used in error messages.
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t base = 0)
        : bytes_(bytes), base_(base)
    {
    }

    bool AtEnd() const { return pos_ == bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    // Offset of the next byte in the whole file.
    std::size_t FileOffset() const { return base_ + pos_; }

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    // A MIDI variable-length quantity: at most four bytes, so at most 0x0FFFFFFF.
    std::uint32_t VariableLength();
    // The next `count` bytes, which stay owned by the underlying buffer.
    std::span<const std::uint8_t> Take(std::size_t count);

private:
    void Require(std::size_t count) const;

    std::span<const std::uint8_t> bytes_;
    std::size_t base_;
    std::size_t pos_ = 0;
};
