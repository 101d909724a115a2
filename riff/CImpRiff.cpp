#include "riff/CImpRiff.h"

#include <algorithm>
#include <bit>

#include "riff/RiffBytes.h"

void CImpRiff::ResetTree()
{
    ends_.fill(0);
    level_ = -1;
    dataStart_ = 0;
    id_.fill(0);
    listType_.fill(0);
    chunkSize_ = 0;
}

bool CImpRiff::OpenRiff(const std::string& path, bool swap)
{
    ResetTree();
    return Open(path, swap);
}

bool CImpRiff::OpenRiffMemory(std::span<const std::byte> bytes)
{
    ResetTree();
    return OpenMemory(bytes);
}

bool CImpRiff::OpenChunk(int level)
{
    if (!IsOpen() || level < 0 || level > level_ + 1 || level >= kMaxLevels) {
        Log("*** CImpRiff::OpenChunk(%d) at level %d ***", level, level_);
        return false;
    }
    if (level_ >= level) Seek(ends_[level]);
    const std::int64_t parentEnd = level > 0 ? ends_[level - 1] : Size();
    if (parentEnd - Tell() < riff::kHeaderBytes) return false;

    std::array<unsigned char, riff::kHeaderBytes> header {};
    if (UFile::Read(header.data(), 1, riff::kHeaderBytes) != riff::kHeaderBytes) return false;
    const std::int64_t size = riff::LoadU32(header.data() + 4);
    const std::int64_t payload = Tell();
    if (size > parentEnd - payload) {
        Log("*** CImpRiff::OpenChunk(%d) chunk of %lld bytes larger than its parent ***", level,
            static_cast<long long>(size));
        return false;
    }
    const std::string_view id(reinterpret_cast<const char*>(header.data()), 4);
    std::array<char, 5> listType {};
    if (riff::IsList(id)) {
        if (size < 4 || UFile::Read(listType.data(), 1, 4) != 4) return false;
    }
    std::copy(id.begin(), id.end(), id_.begin());
    listType_ = listType;
    level_ = level;
    ends_[level] = payload + size;
    chunkSize_ = size;
    dataStart_ = Tell();
    return true;
}

bool CImpRiff::ChunkCmp(std::string_view id, std::string_view listType) const
{
    return riff::Matches(ChunkId(), ListType(), id, listType);
}

bool CImpRiff::Read(void* dst, std::int64_t size, std::int64_t count)
{
    return UFile::Read(dst, size, count) > 0;
}

std::int64_t CImpRiff::ChunkBytesLeft() const
{
    return level_ < 0 ? 0 : std::max<std::int64_t>(ends_[level_] - Tell(), 0);
}

bool CImpRiff::ReadInts(std::span<std::int32_t> values)
{
    const auto bytes = static_cast<std::int64_t>(values.size()) * 4;
    if (values.empty() || ChunkBytesLeft() < bytes) return false;
    for (std::int32_t& value : values) {
        std::array<unsigned char, 4> raw {};
        if (UFile::Read(raw.data(), 1, 4) != 4) return false;
        value = static_cast<std::int32_t>(riff::LoadU32(raw.data()));
    }
    return true;
}

bool CImpRiff::ReadFloats(std::span<float> values)
{
    std::array<std::int32_t, 16> bits {};
    if (values.size() > bits.size() || !ReadInts(std::span(bits).first(values.size())))
        return false;
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = std::bit_cast<float>(bits[i]);
    return true;
}

bool CImpRiff::ReadString(std::span<char> buf, int len)
{
    if (buf.empty()) return false;
    const std::size_t room = buf.size() - 1;
    std::size_t stored = 0;
    bool any = false;
    if (len >= 1) {
        const std::size_t wanted = static_cast<std::size_t>(len);
        stored = static_cast<std::size_t>(UFile::Read(buf.data(), 1, std::min(wanted, room)));
        any = stored > 0;
        // Consume the part that did not fit.
        if (wanted > room)
            Seek(std::min(Tell() + static_cast<std::int64_t>(wanted - room), Size()));
    } else {
        char c = 0;
        while (UFile::Read(&c, 1, 1) == 1) {
            any = true;
            if (c == '\0') break;
            if (stored < room) buf[stored++] = c;
        }
    }
    buf[stored] = '\0';
    return any;
}
