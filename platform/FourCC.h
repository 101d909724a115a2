// Four-character codes: the first letter in the most significant byte.
#pragma once

#include <cstdint>

constexpr std::int32_t FourCC(const char (&s)[5])
{
    return static_cast<std::int32_t>(
        (static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) << 24) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 16) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 8) |
        static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])));
}
