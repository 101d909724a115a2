// A file read and written at a logical position, with the storage left to a derived class.
// Operations on a file that is not open read or write nothing and return 0.
#pragma once

#include <cstdint>
#include <string>

#include "platform/QelLog.h"

class UFile : public QelLog {
public:
    enum class Mode { Closed, Reading, Writing, Updating };

    UFile() = default;
    ~UFile() override = default;
    UFile(const UFile&) = delete;
    UFile& operator=(const UFile&) = delete;

    // Closes the current file, then opens `path` for reading. Byte swapping is never requested
    // and not supported: swap must be false.
    bool Open(const std::string& path, bool swap = false);
    // Closes the current file, then creates (or truncates) `path` for writing.
    bool Create(const std::string& path, bool swap = false);
    // Closes the current file, then opens an existing `path` for reading and writing.
    bool Update(const std::string& path);

    // Reads size x count bytes at the position, cut at the end of the file; returns the bytes read.
    std::int64_t Read(void* dst, std::int64_t size, std::int64_t count);
    // Writes size x count bytes at the position; returns the bytes written (0 on a failure).
    std::int64_t Write(const void* src, std::int64_t size, std::int64_t count);
    void Seek(std::int64_t pos) { position_ = pos < 0 ? 0 : pos; }
    std::int64_t Tell() const { return position_; }
    // While writing: the current end of the file.
    std::int64_t Size() const { return size_; }
    std::int64_t Written() const { return written_; }
    bool IsOpen() const { return mode_ != Mode::Closed; }
    bool IsWriting() const { return mode_ == Mode::Writing || mode_ == Mode::Updating; }
    const std::string& Path() const { return path_; }

    // Writes what is still cached and closes; false when any write of this file failed.
    virtual bool Close() = 0;

protected:
    virtual bool OpenRead(const std::string& path) = 0;
    virtual std::int64_t ReadAt(std::int64_t pos, void* dst, std::int64_t n) = 0;
    virtual bool OpenWrite(const std::string& path) = 0;
    virtual std::int64_t WriteAppendOrPatch(std::int64_t pos, const void* src, std::int64_t n) = 0;
    virtual bool OpenUpdate(const std::string& path) = 0;
    virtual std::int64_t WriteAt(std::int64_t pos, const void* src, std::int64_t n) = 0;

    // For the implementations: the state every file shares.
    void SetOpened(Mode mode, std::int64_t size);
    void ResetState();
    void GrowTo(std::int64_t end) { size_ = end > size_ ? end : size_; }

private:
    bool Reopen(const std::string& path, bool swap, Mode mode);

    std::string path_;
    Mode mode_ = Mode::Closed;
    std::int64_t written_ = 0;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};
