// Builds RIFF byte images for the tests, including deliberately wrong ones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rifftest {

using Bytes = std::vector<unsigned char>;

inline void PutU32(Bytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline std::uint32_t GetU32(const Bytes& in, std::size_t at)
{
    return in[at] | in[at + 1] << 8 | in[at + 2] << 16 |
           static_cast<std::uint32_t>(in[at + 3]) << 24;
}

inline void PutId(Bytes& out, std::string_view id)
{
    out.insert(out.end(), id.begin(), id.end());
}

// A chunk with the given payload; `size` overrides the size word. With `pad` an odd payload gets
// its pad byte.
inline Bytes Chunk(std::string_view id, const Bytes& payload, bool pad = true,
                   std::int64_t size = -1)
{
    Bytes out;
    PutId(out, id);
    PutU32(out, static_cast<std::uint32_t>(size >= 0 ? size : std::int64_t(payload.size())));
    out.insert(out.end(), payload.begin(), payload.end());
    if (pad && payload.size() % 2) out.push_back(0);
    return out;
}

inline Bytes List(std::string_view id, std::string_view type, const std::vector<Bytes>& children,
                  bool pad = true)
{
    Bytes payload;
    PutId(payload, type);
    for (const Bytes& child : children) payload.insert(payload.end(), child.begin(), child.end());
    return Chunk(id, payload, pad);
}

inline Bytes Filler(std::size_t n, unsigned char value = 0x5A)
{
    return Bytes(n, value);
}

inline Bytes Text(std::string_view s)
{
    return Bytes(s.begin(), s.end());
}

}  // namespace rifftest
