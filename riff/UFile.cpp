#include "riff/UFile.h"

#include <algorithm>

#include "riff/RiffBytes.h"

bool UFile::Reopen(const std::string& path, bool swap, Mode mode)
{
    Close();
    path_ = path;
    if (swap) {
        Log("*** UFile: byte swapping is not supported (%s) ***", path.c_str());
        return false;
    }
    bool ok = false;
    switch (mode) {
        case Mode::Reading:
            ok = OpenRead(path);
            break;
        case Mode::Writing:
            ok = OpenWrite(path);
            break;
        case Mode::Updating:
            ok = OpenUpdate(path);
            break;
        case Mode::Closed:
            break;
    }
    if (!ok) Log("*** UFile: cannot open %s ***", path.c_str());
    return ok;
}

bool UFile::Open(const std::string& path, bool swap)
{
    return Reopen(path, swap, Mode::Reading);
}

bool UFile::Create(const std::string& path, bool swap)
{
    return Reopen(path, swap, Mode::Writing);
}

bool UFile::Update(const std::string& path)
{
    return Reopen(path, false, Mode::Updating);
}

void UFile::SetOpened(Mode mode, std::int64_t size)
{
    mode_ = mode;
    size_ = size;
    position_ = 0;
    written_ = 0;
}

void UFile::ResetState()
{
    mode_ = Mode::Closed;
    size_ = 0;
    position_ = 0;
}

std::int64_t UFile::Read(void* dst, std::int64_t size, std::int64_t count)
{
    if (mode_ != Mode::Reading && mode_ != Mode::Updating) return 0;
    if (position_ >= size_) return 0;
    std::int64_t n = std::min(riff::ByteCount(size, count), size_ - position_);
    std::int64_t got = ReadAt(position_, dst, n);
    position_ += got;
    return got;
}

std::int64_t UFile::Write(const void* src, std::int64_t size, std::int64_t count)
{
    if (!IsWriting()) return 0;
    std::int64_t n = riff::ByteCount(size, count);
    if (n == 0) return 0;
    std::int64_t put =
        mode_ == Mode::Writing ? WriteAppendOrPatch(position_, src, n) : WriteAt(position_, src, n);
    position_ += put;
    written_ += put;
    return put;
}
