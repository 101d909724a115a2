// A UFile on disk with one 4096-byte block cache: reading serves byte ranges from whole blocks,
// writing appends into the block and writes it out when full, so the disk sees whole blocks
// except for the last one. Sizes already written can still be patched (RIFF size fields).
// The same file can also live in memory: read from a caller's bytes or written into a buffer,
// so that the host's state never has to touch the disk.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "platform/Platform.h"
#include "riff/UFile.h"

class UFileDisk : public UFile {
public:
    static constexpr std::int64_t kBlockSize = 4096;

    UFileDisk() = default;
    ~UFileDisk() override;

    bool Close() override;

    // Closes the current file, then reads from `bytes`, which must outlive the reading.
    bool OpenMemory(std::span<const std::byte> bytes);
    // Closes the current file, then writes into an empty buffer of this object.
    bool CreateMemory();
    bool InMemory() const { return inMemory_; }
    // The bytes written in memory; they stay after Close until the next open or create.
    std::span<const std::byte> MemoryBytes() const { return memoryOut_; }
    std::vector<std::byte> TakeMemoryBytes() { return std::move(memoryOut_); }

protected:
    bool OpenRead(const std::string& path) override;
    std::int64_t ReadAt(std::int64_t pos, void* dst, std::int64_t n) override;
    bool OpenWrite(const std::string& path) override;
    std::int64_t WriteAppendOrPatch(std::int64_t pos, const void* src, std::int64_t n) override;
    bool OpenUpdate(const std::string& path) override;
    std::int64_t WriteAt(std::int64_t pos, const void* src, std::int64_t n) override;

private:
    bool Attach(platform::FileHandle file, Mode mode);
    void LoadBlock(std::int64_t index);
    bool Append(const std::byte* src, std::int64_t n);
    bool AppendZeros(std::int64_t n);
    bool WriteOut(std::int64_t offset, const void* src, std::int64_t n);
    std::int64_t WriteMemory(std::int64_t pos, const void* src, std::int64_t n);

    platform::FileHandle file_ = platform::kNoFile;
    std::unique_ptr<std::byte[]> block_;
    std::int64_t blockValid_ = 0;
    std::int64_t blockIndex_ = -1;
    bool dirty_ = false;   // the block holds bytes not yet on disk (writing only)
    bool failed_ = false;  // a write of this file failed
    bool inMemory_ = false;
    std::span<const std::byte> source_;  // reading in memory
    std::vector<std::byte> memoryOut_;   // writing in memory
};
