// An input stream over bytes in memory, so decoder tests can hand it exactly the bytes they mean.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "riff/InputStream.h"

namespace testsupport {

class MemoryInput : public InputStream {
public:
    explicit MemoryInput(std::vector<std::uint8_t> bytes) : bytes(std::move(bytes)) {}

    std::int64_t Read(void* dst, std::int64_t n) override
    {
        const std::int64_t got = std::clamp<std::int64_t>(Size() - position_, 0, n);
        if (got > 0) std::memcpy(dst, bytes.data() + position_, static_cast<std::size_t>(got));
        position_ += got;
        return got;
    }
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes.size()); }
    std::int64_t Tell() const override { return position_; }
    void Seek(std::int64_t pos) override { position_ = pos; }
    void Skip(std::int64_t n) override { position_ += n; }

    std::vector<std::uint8_t> bytes;

private:
    std::int64_t position_ = 0;
};

}  // namespace testsupport
