#include "riff/UFileDisk.h"

#include <algorithm>
#include <array>
#include <cstring>

UFileDisk::~UFileDisk()
{
    UFileDisk::Close();
}

bool UFileDisk::OpenMemory(std::span<const std::byte> bytes)
{
    Close();
    memoryOut_.clear();
    source_ = bytes;
    inMemory_ = true;
    failed_ = false;
    SetOpened(Mode::Reading, static_cast<std::int64_t>(bytes.size()));
    return true;
}

bool UFileDisk::CreateMemory()
{
    Close();
    memoryOut_.clear();
    source_ = {};
    inMemory_ = true;
    failed_ = false;
    SetOpened(Mode::Writing, 0);
    return true;
}

std::int64_t UFileDisk::WriteMemory(std::int64_t pos, const void* src, std::int64_t n)
{
    const auto end = static_cast<std::size_t>(pos + n);
    if (end > memoryOut_.size()) memoryOut_.resize(end);  // a seek past the end leaves zeros
    std::memcpy(memoryOut_.data() + pos, src, static_cast<std::size_t>(n));
    GrowTo(pos + n);
    return n;
}

bool UFileDisk::Attach(platform::FileHandle file, Mode mode)
{
    if (file == platform::kNoFile) return false;
    std::int64_t size = mode == Mode::Writing ? 0 : platform::FileSize(file);
    if (size < 0) {
        platform::CloseFile(file);
        return false;
    }
    if (!block_) block_ = std::make_unique<std::byte[]>(kBlockSize);
    file_ = file;
    failed_ = false;
    dirty_ = false;
    // While writing, the cached block is the unwritten tail of the file.
    blockIndex_ = mode == Mode::Writing ? 0 : -1;
    blockValid_ = 0;
    SetOpened(mode, size);
    return true;
}

bool UFileDisk::OpenRead(const std::string& path)
{
    return Attach(platform::OpenFileRead(path), Mode::Reading);
}

bool UFileDisk::OpenWrite(const std::string& path)
{
    return Attach(platform::CreateFileWrite(path), Mode::Writing);
}

bool UFileDisk::OpenUpdate(const std::string& path)
{
    return Attach(platform::OpenFileUpdate(path), Mode::Updating);
}

bool UFileDisk::Close()
{
    if (!IsOpen()) return true;
    if (inMemory_) {
        // Written bytes stay for the caller; the bytes read from belong to someone else.
        inMemory_ = false;
        source_ = {};
        ResetState();
        return !failed_;
    }
    if (dirty_ && blockValid_ > 0) WriteOut(blockIndex_ * kBlockSize, block_.get(), blockValid_);
    platform::CloseFile(file_);
    file_ = platform::kNoFile;
    dirty_ = false;
    blockIndex_ = -1;
    blockValid_ = 0;
    ResetState();
    if (failed_) Log("*** UFileDisk::Close(%s) a write failed ***", Path().c_str());
    return !failed_;
}

void UFileDisk::LoadBlock(std::int64_t index)
{
    std::int64_t got = platform::ReadFileAt(file_, index * kBlockSize, block_.get(), kBlockSize);
    blockIndex_ = index;
    blockValid_ = std::max<std::int64_t>(got, 0);
}

std::int64_t UFileDisk::ReadAt(std::int64_t pos, void* dst, std::int64_t n)
{
    if (inMemory_) {
        const auto size = static_cast<std::int64_t>(source_.size());
        if (pos < 0 || pos >= size || n <= 0) return 0;
        const std::int64_t take = std::min(n, size - pos);
        std::memcpy(dst, source_.data() + pos, static_cast<std::size_t>(take));
        return take;
    }
    if (file_ == platform::kNoFile || pos < 0) return 0;
    auto* out = static_cast<std::byte*>(dst);
    std::int64_t done = 0;
    while (done < n) {
        const std::int64_t at = pos + done;
        const std::int64_t index = at / kBlockSize;
        if (index != blockIndex_) LoadBlock(index);
        const std::int64_t within = at - index * kBlockSize;
        if (within >= blockValid_) break;
        const std::int64_t take = std::min(n - done, blockValid_ - within);
        std::memcpy(out + done, block_.get() + within, static_cast<std::size_t>(take));
        done += take;
    }
    return done;
}

bool UFileDisk::WriteOut(std::int64_t offset, const void* src, std::int64_t n)
{
    if (platform::WriteFileAt(file_, offset, src, n) == n) return true;
    if (!failed_) Log("*** UFileDisk: write of %s failed ***", Path().c_str());
    failed_ = true;
    return false;
}

bool UFileDisk::Append(const std::byte* src, std::int64_t n)
{
    while (n > 0) {
        const std::int64_t take = std::min(n, kBlockSize - blockValid_);
        std::memcpy(block_.get() + blockValid_, src, static_cast<std::size_t>(take));
        blockValid_ += take;
        dirty_ = true;
        GrowTo(blockIndex_ * kBlockSize + blockValid_);
        src += take;
        n -= take;
        if (blockValid_ == kBlockSize) {
            bool ok = WriteOut(blockIndex_ * kBlockSize, block_.get(), kBlockSize);
            ++blockIndex_;
            blockValid_ = 0;
            dirty_ = false;
            if (!ok) return false;
        }
    }
    return true;
}

bool UFileDisk::AppendZeros(std::int64_t n)
{
    static constexpr std::array<std::byte, 256> kZeros {};
    for (; n > 0; n -= static_cast<std::int64_t>(kZeros.size()))
        if (!Append(kZeros.data(), std::min<std::int64_t>(n, kZeros.size()))) return false;
    return true;
}

std::int64_t UFileDisk::WriteAppendOrPatch(std::int64_t pos, const void* src, std::int64_t n)
{
    if (inMemory_) return pos < 0 || n <= 0 ? 0 : WriteMemory(pos, src, n);
    if (file_ == platform::kNoFile || pos < 0 || n <= 0) return 0;
    const auto* in = static_cast<const std::byte*>(src);
    const std::int64_t end = Size();
    if (pos > end && !AppendZeros(pos - end)) return 0;  // a seek past the end leaves zeros

    // Back-patching: the part already on disk is written in place, the part in the unwritten
    // block is patched there, and whatever reaches past the end is appended.
    const std::int64_t blockStart = blockIndex_ * kBlockSize;
    const std::int64_t patchEnd = std::min(pos + n, Size());
    if (pos < blockStart) {
        const std::int64_t onDisk = std::min(patchEnd, blockStart) - pos;
        if (!WriteOut(pos, in, onDisk)) return 0;
    }
    for (std::int64_t at = std::max(pos, blockStart); at < patchEnd; ++at)
        block_[static_cast<std::size_t>(at - blockStart)] = in[at - pos];
    if (pos + n > patchEnd && !Append(in + (patchEnd - pos), pos + n - patchEnd)) return 0;
    return n;
}

std::int64_t UFileDisk::WriteAt(std::int64_t pos, const void* src, std::int64_t n)
{
    if (inMemory_) return pos < 0 || n <= 0 ? 0 : WriteMemory(pos, src, n);
    if (file_ == platform::kNoFile || pos < 0 || n <= 0) return 0;
    if (!WriteOut(pos, src, n)) return 0;
    // The cached block may now be stale.
    if (blockIndex_ >= 0 && pos < (blockIndex_ + 1) * kBlockSize &&
        pos + n > blockIndex_ * kBlockSize)
        blockIndex_ = -1;
    GrowTo(pos + n);
    return n;
}
