#include "riff/InputStreamFile.h"

#include <algorithm>

InputStreamFile::~InputStreamFile()
{
    InputStreamFile::Close();
}

bool InputStreamFile::Open(const std::string& path)
{
    return OpenHandle(path, true);
}

bool InputStreamFile::OpenQuietly(const std::string& path)
{
    return OpenHandle(path, false);
}

bool InputStreamFile::OpenHandle(const std::string& path, bool log)
{
    Close();
    platform::FileHandle file = platform::OpenFileRead(path);
    if (file == platform::kNoFile) {
        if (log) Log("*** InputStreamFile::Open(%s) cannot open ***", path.c_str());
        return false;
    }
    std::int64_t size = platform::FileSize(file);
    if (size < 0) {
        if (log) Log("*** InputStreamFile::Open(%s) no size ***", path.c_str());
        platform::CloseFile(file);
        return false;
    }
    file_ = file;
    size_ = size;
    position_ = 0;
    return true;
}

void InputStreamFile::Close()
{
    platform::CloseFile(file_);
    file_ = platform::kNoFile;
    size_ = 0;
    position_ = 0;
}

std::int64_t InputStreamFile::ReadFile(std::int64_t offset, void* dst, std::int64_t n)
{
    if (!IsOpen() || offset < 0 || n <= 0 || offset >= size_) return 0;
    n = std::min(n, size_ - offset);
    return std::max<std::int64_t>(platform::ReadFileAt(file_, offset, dst, n), 0);
}

std::int64_t InputStreamFile::Read(void* dst, std::int64_t n)
{
    std::int64_t got = ReadFile(position_, dst, n);
    position_ += got;
    return got;
}

void InputStreamFile::Seek(std::int64_t pos)
{
    position_ = std::max<std::int64_t>(pos, 0);
}
