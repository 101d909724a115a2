#include "riff/CExpRiff.h"

#include <algorithm>
#include <bit>

#include "riff/RiffBytes.h"

bool CExpRiff::Create(const std::string& path, bool swap)
{
    depth_ = 0;
    return UFile::Create(path, swap);
}

bool CExpRiff::CreateMemory()
{
    depth_ = 0;
    return UFileDisk::CreateMemory();
}

bool CExpRiff::Close()
{
    bool complete = depth_ == 0;
    if (!complete) Log("*** CExpRiff::Close() with %d chunks open ***", depth_);
    depth_ = 0;
    return UFileDisk::Close() && complete;
}

bool CExpRiff::Put(const void* src, std::int64_t n)
{
    if (n <= 0) return true;
    if (UFile::Write(src, 1, n) != n) return false;
    for (int i = 0; i < depth_; ++i) stack_[i].written += n;
    return true;
}

bool CExpRiff::StartChunk(std::string_view id, std::string_view listType)
{
    if (!IsWriting() || depth_ >= kMaxOpenChunks || (!id.empty() && id.size() != 4) ||
        (!listType.empty() && listType.size() != 4)) {
        Log("*** CExpRiff::StartChunk(%.*s) refused at depth %d ***", static_cast<int>(id.size()),
            id.data(), depth_);
        return false;
    }
    if (!id.empty() && !Put(id.data(), 4)) return false;
    const std::int64_t sizeOffset = Tell();
    constexpr std::array<unsigned char, 4> kZeroSize {};
    if (!Put(kZeroSize.data(), 4)) return false;
    stack_[depth_++] = {sizeOffset, 0};
    return listType.empty() || Put(listType.data(), 4);
}

bool CExpRiff::EndChunk()
{
    if (depth_ == 0) {
        Log("*** CExpRiff::EndChunk() without an open chunk ***");
        return false;
    }
    const OpenChunkEntry chunk = stack_[--depth_];
    if (chunk.written > riff::kMaxChunkSize) {
        Log("*** CExpRiff::EndChunk() chunk of %lld bytes too large ***",
            static_cast<long long>(chunk.written));
        return false;
    }
    std::array<unsigned char, 4> size {};
    riff::StoreU32(size.data(), static_cast<std::uint32_t>(chunk.written));
    Seek(chunk.sizeOffset);
    const bool ok = UFile::Write(size.data(), 1, 4) == 4;
    Seek(Size());
    return ok;
}

bool CExpRiff::WriteByte(std::uint8_t v)
{
    return Put(&v, 1);
}

bool CExpRiff::WriteInt(std::int32_t v)
{
    std::array<unsigned char, 4> bytes {};
    riff::StoreU32(bytes.data(), static_cast<std::uint32_t>(v));
    return Put(bytes.data(), 4);
}

bool CExpRiff::WriteFloat(float v)
{
    return WriteInt(std::bit_cast<std::int32_t>(v));
}

bool CExpRiff::WriteIntChunk(std::string_view id, std::span<const std::int32_t> values)
{
    if (!StartChunk(id)) return false;
    for (std::int32_t v : values)
        if (!WriteInt(v)) return false;
    return EndChunk();
}

bool CExpRiff::WriteString(std::string_view text, int len)
{
    if (len < 0) return false;
    const std::size_t length = len == 0 ? text.size() : static_cast<std::size_t>(len);
    const std::size_t fromText = std::min(length, text.size());
    if (!Put(text.data(), static_cast<std::int64_t>(fromText))) return false;
    constexpr std::array<char, 64> kZeros {};
    // Zeros after the text's end, plus the pad byte for an odd length.
    for (std::size_t left = length - fromText + (length & 1); left > 0;) {
        const std::size_t take = std::min(left, kZeros.size());
        if (!Put(kZeros.data(), static_cast<std::int64_t>(take))) return false;
        left -= take;
    }
    return true;
}

bool CExpRiff::WriteBytes(std::span<const std::byte> bytes)
{
    return Put(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}
