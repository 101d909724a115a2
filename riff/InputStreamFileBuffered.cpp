#include "riff/InputStreamFileBuffered.h"

#include <algorithm>
#include <cstring>

InputStreamFileBuffered::InputStreamFileBuffered() : buffer_(std::make_unique<Block>()) {}

InputStreamFileBuffered::~InputStreamFileBuffered() = default;

bool InputStreamFileBuffered::Open(const std::string& path)
{
    bool ok = InputStreamFile::Open(path);
    MarkEmptyAt(0);
    return ok;
}

void InputStreamFileBuffered::Close()
{
    InputStreamFile::Close();
    MarkEmptyAt(0);
}

void InputStreamFileBuffered::MarkEmptyAt(std::int64_t pos)
{
    logical_ = pos;
    read_ = nullptr;
    first_ = pos;
    valid_ = 0;
    left_ = 0;
}

void InputStreamFileBuffered::Seek(std::int64_t pos)
{
    pos = std::max<std::int64_t>(pos, 0);
    if (read_ && pos >= first_ && pos < first_ + valid_) {
        logical_ = pos;
        read_ = buffer_->bytes + (pos - first_);
        left_ = first_ + valid_ - pos;
    } else {
        MarkEmptyAt(pos);
    }
}

bool InputStreamFileBuffered::Fill()
{
    first_ = logical_;
    valid_ = ReadFile(first_, buffer_->bytes, kCapacity);
    read_ = valid_ > 0 ? buffer_->bytes : nullptr;
    left_ = valid_;
    return valid_ > 0;
}

std::int64_t InputStreamFileBuffered::Read(void* dst, std::int64_t n)
{
    auto* out = static_cast<std::byte*>(dst);
    std::int64_t copied = 0;
    while (copied < n) {
        if (!read_ && n - copied >= kCapacity) {
            // Large reads (sample data) go straight to the caller, not through the buffer.
            std::int64_t got = ReadFile(logical_, out + copied, n - copied);
            copied += got;
            MarkEmptyAt(logical_ + got);
            break;
        }
        if (!read_ && !Fill()) break;  // end of the file: report what we got
        std::int64_t take = std::min(left_, n - copied);
        std::memcpy(out + copied, read_, static_cast<std::size_t>(take));
        copied += take;
        read_ += take;
        left_ -= take;
        logical_ += take;
        if (left_ == 0) MarkEmptyAt(logical_);
    }
    return copied;
}
