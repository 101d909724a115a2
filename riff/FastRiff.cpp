#include "riff/FastRiff.h"

#include <algorithm>

#include "riff/RiffBytes.h"

namespace {

constexpr bool ValidIdByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ';
}

}  // namespace

bool FastRiff::OpenRiff(const std::string& path)
{
    Close();
    if (!stream_.Open(path)) {
        Log("*** FastRiff::OpenRiff(%s) cannot open ***", path.c_str());
        return false;
    }
    fileSize_ = stream_.Size();
    riffPath_ = path;
    if (fileSize_ < kMinFileSize) {
        Log("*** FastRiff::OpenRiff(%s) file too short (%lld bytes) ***", path.c_str(),
            static_cast<long long>(fileSize_));
        Close();
        return false;
    }
    return true;
}

void FastRiff::Close()
{
    stream_.Close();
    fileSize_ = 0;
    fileCut_ = false;
    riffPath_.clear();
    ResetTree();
}

void FastRiff::ResetTree()
{
    ends_.fill(0);
    cut_.fill(false);
    level_ = -1;
    id_.fill(0);
    listType_.fill(0);
    chunkSize_ = 0;
}

void FastRiff::Rewind()
{
    stream_.Seek(0);
    ResetTree();
}

void FastRiff::Fail(const char* why) const
{
    Log("*** FastRiff: %s at %lld ***", why, static_cast<long long>(Tell()));
    throw kFileError;
}

bool FastRiff::OpenChunk(int level)
{
    if (!IsOpen() || level < 0 || level > level_ + 1) {
        Log("*** FastRiff::OpenChunk(%d) at level %d ***", level, level_);
        return false;
    }
    if (level >= kMaxLevels) Fail("chunks nested too deeply");

    // Finish the chunk open at this level.
    if (level_ >= level) {
        if (ends_[level] >= fileSize_) return false;
        stream_.Seek(ends_[level]);
    }
    const std::int64_t parentEnd = level > 0 ? ends_[level - 1] : fileSize_;
    const std::int64_t start = Tell();
    if (start >= parentEnd) return false;
    // Fewer bytes than a chunk header left: trailing bytes, not another chunk.
    if (parentEnd - start < riff::kHeaderBytes) {
        Log("FastRiff::OpenChunk(%d) ignores %lld trailing bytes", level,
            static_cast<long long>(parentEnd - start));
        return false;
    }

    std::array<unsigned char, riff::kHeaderBytes> header {};
    if (ReadBytes(header.data(), riff::kHeaderBytes) != riff::kHeaderBytes) return false;
    std::array<char, 4> id {};
    std::copy_n(header.begin(), 4, id.begin());
    if (!std::all_of(id.begin(), id.end(), ValidIdByte)) Fail("bad chunk identifier");

    std::int64_t size = riff::LoadU32(header.data() + 4);
    const std::int64_t payload = Tell();
    // The unpadded payload must fit in its parent; the pad byte may be missing at its very end.
    const bool cut = size > parentEnd - payload;
    if (cut) {
        // A file cut short ends inside a chunk and inside every list around it; a child that
        // outgrows a parent the file holds whole is malformed.
        if (cutFiles_ != CutFiles::kRead || (level > 0 && !cut_[level - 1])) {
            Fail("chunk larger than its parent");
        }
        Log("*** FastRiff(%s): '%.4s' at %lld claims %lld bytes, the file holds %lld ***",
            riffPath_.c_str(), id.data(), static_cast<long long>(payload - riff::kHeaderBytes),
            static_cast<long long>(size), static_cast<long long>(parentEnd - payload));
        size = parentEnd - payload;
        fileCut_ = true;
        if (riff::IsList({id.data(), id.size()}) && size < 4) return false;
    }
    const std::int64_t end = std::min(payload + size + (size & 1), parentEnd);

    id_ = id;
    level_ = level;
    ends_[level] = end;
    cut_[level] = cut;
    chunkSize_ = cut ? size : size + (size & 1);
    listType_.fill(0);
    if (riff::IsList(ChunkId())) {
        if (size < 4) Fail("list without a type");
        ReadBytes(listType_.data(), 4);
    }
    return true;
}

bool FastRiff::ChunkCmp(std::string_view id, std::string_view listType) const
{
    return riff::Matches(ChunkId(), ListType(), id, listType);
}

std::int64_t FastRiff::Read(void* dst, std::int64_t size, std::int64_t count)
{
    return ReadBytes(dst, riff::ByteCount(size, count));
}

std::int64_t FastRiff::ReadBytes(void* dst, std::int64_t n)
{
    if (n <= 0) return 0;
    return stream_.Read(dst, n);
}
