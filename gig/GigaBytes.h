// Little-endian reads from one chunk payload. Bytes past the end of the payload read as zero, so a
// chunk shorter than its layout decodes as if the missing fields were zero; decoders that cannot
// accept that check Size() themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class GigaBytes {
public:
    GigaBytes() = default;
    explicit GigaBytes(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t Size() const { return data_.size(); }
    bool Has(std::size_t offset, std::size_t count) const
    {
        return offset <= data_.size() && count <= data_.size() - offset;
    }

    std::uint8_t U8(std::size_t offset) const
    {
        return offset < data_.size() ? data_[offset] : std::uint8_t {0};
    }
    std::uint16_t U16(std::size_t offset) const
    {
        return static_cast<std::uint16_t>(U8(offset) | (U8(offset + 1) << 8));
    }
    std::int16_t S16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::uint32_t U32(std::size_t offset) const
    {
        return static_cast<std::uint32_t>(U16(offset)) |
               (static_cast<std::uint32_t>(U16(offset + 2)) << 16);
    }
    std::int32_t S32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

    std::span<const std::uint8_t> Data() const { return data_; }

private:
    std::span<const std::uint8_t> data_;
};
