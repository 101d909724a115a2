// An unbuffered input stream on a file handle; every Read is one positioned read of the file.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/QelLog.h"
#include "riff/InputStream.h"

class InputStreamFile : public InputStream, public QelLog {
public:
    InputStreamFile() = default;
    ~InputStreamFile() override;
    InputStreamFile(const InputStreamFile&) = delete;
    InputStreamFile& operator=(const InputStreamFile&) = delete;

    std::int64_t Read(void* dst, std::int64_t n) override;
    std::int64_t Size() const override { return size_; }
    std::int64_t Tell() const override { return position_; }
    void Seek(std::int64_t pos) override;
    void Skip(std::int64_t n) override { Seek(Tell() + n); }

    // Opens an existing file for reading (closing one still open); the size is taken once here.
    virtual bool Open(const std::string& path);
    // The same without a log line when the file cannot be had, for the disk thread, which tries
    // again while a file is away and must not log.
    bool OpenQuietly(const std::string& path);
    virtual void Close();
    bool IsOpen() const { return file_ != platform::kNoFile; }

protected:
    // One positioned read of the file, never past its end; returns the bytes obtained.
    std::int64_t ReadFile(std::int64_t offset, void* dst, std::int64_t n);

private:
    bool OpenHandle(const std::string& path, bool log);

    platform::FileHandle file_ = platform::kNoFile;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};
