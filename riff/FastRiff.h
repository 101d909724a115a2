// Reader of the large .gig RIFF files. Walks the chunk tree level by level; odd chunk sizes are
// rounded up to even as RIFF requires. A malformed tree throws the text "Error in file" (as a
// const char*), which the .gig parser catches at the bank's open and program load. A reader made
// to read cut files takes a file that ends inside a chunk as cut short, not as malformed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/QelLog.h"
#include "riff/InputStreamFileBuffered.h"

class FastRiff : public QelLog {
public:
    static constexpr int kMaxLevels = 40;
    static constexpr std::int64_t kMinFileSize = 3000;
    static constexpr const char* kFileError = "Error in file";

    // What to make of a chunk that runs past the end of the file.
    enum class CutFiles {
        kRefuse,  // it is malformed (throws)
        // Such a chunk, and each one inside it that runs past the end too, is cut to what the
        // file holds (logged once for each chunk).
        kRead,
    };

    explicit FastRiff(CutFiles cutFiles = CutFiles::kRefuse) : cutFiles_(cutFiles) {}
    ~FastRiff() override = default;
    FastRiff(const FastRiff&) = delete;
    FastRiff& operator=(const FastRiff&) = delete;

    // Opens the file; false when it cannot be opened or is shorter than 3000 bytes.
    bool OpenRiff(const std::string& path);
    void Close();

    // Steps to the next chunk at nesting level `level` (0 = the top form). After a list was
    // entered, OpenChunk(level + 1) reads its first child. False when the enclosing list (or the
    // file) has no more chunks; throws kFileError on a malformed chunk.
    bool OpenChunk(int level);

    // True when the chunk identifier equals id and the list type equals listType; an empty
    // argument matches anything. Identifiers are the four bytes as they stand in the file.
    bool ChunkCmp(std::string_view id, std::string_view listType = {}) const;
    std::string_view ChunkId() const { return {id_.data(), id_.size()}; }
    // The list type of 'RIFF', 'FORM' and 'LIST' chunks; four zero bytes for plain chunks.
    std::string_view ListType() const { return {listType_.data(), listType_.size()}; }
    // Payload size rounded up to even (for lists it includes the list type already read); for a
    // chunk cut by the end of the file, the bytes the file holds.
    std::int64_t ChunkSize() const { return chunkSize_; }
    int Level() const { return level_; }
    // Whether the current chunk was cut by the end of the file; whether any chunk opened since
    // the file was opened was.
    bool ChunkCut() const { return level_ >= 0 && cut_[static_cast<std::size_t>(level_)]; }
    bool Cut() const { return fileCut_; }

    // Reads size x count bytes from the current position; returns the bytes read (fewer only at
    // the end of the file).
    std::int64_t Read(void* dst, std::int64_t size, std::int64_t count);
    std::int64_t ReadBytes(void* dst, std::int64_t n);
    void Skip(std::int64_t n) { stream_.Skip(n); }
    void Seek(std::int64_t pos) { stream_.Seek(pos); }
    // Back to the start of the file, before the first chunk.
    void Rewind();

    std::int64_t Tell() const { return stream_.Tell(); }
    std::int64_t FileSize() const { return fileSize_; }
    bool IsOpen() const { return stream_.IsOpen(); }

private:
    void ResetTree();
    [[noreturn]] void Fail(const char* why) const;

    const CutFiles cutFiles_;
    InputStreamFileBuffered stream_;
    std::string riffPath_;
    std::array<char, 4> id_ {};
    std::int64_t fileSize_ = 0;
    std::array<std::int64_t, kMaxLevels> ends_ {};
    std::array<bool, kMaxLevels> cut_ {};
    bool fileCut_ = false;
    int level_ = -1;
    std::array<char, 4> listType_ {};
    std::int64_t chunkSize_ = 0;
};
