// A UFile on disk with one 4096-byte block cache: reading serves byte ranges from whole blocks,
// writing appends into the block and writes it out when full, so the disk sees whole blocks
// except for the last one. Sizes already written can still be patched (RIFF size fields).
#pragma once

#include <cstddef>
#include <memory>

#include "gig/UFile.h"
#include "platform/Platform.h"

class UFileDisk : public UFile {
public:
    static constexpr std::int64_t kBlockSize = 4096;

    UFileDisk() = default;
    ~UFileDisk() override;

    bool Close() override;

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

    platform::FileHandle file_ = platform::kNoFile;
    std::unique_ptr<std::byte[]> block_;
    std::int64_t blockValid_ = 0;
    std::int64_t blockIndex_ = -1;
    bool dirty_ = false;   // the block holds bytes not yet on disk (writing only)
    bool failed_ = false;  // a write of this file failed
};
