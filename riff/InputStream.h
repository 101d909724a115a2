// A readable byte stream with a position. Positions and sizes are 64-bit so that files near the
// format's 2 GiB limit (and anything larger we are handed) never overflow.
#pragma once

#include <cstdint>

class InputStream {
public:
    // Reads up to n bytes; returns how many came (fewer only at the end of the data).
    virtual std::int64_t Read(void* dst, std::int64_t n) = 0;
    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Tell() const = 0;
    virtual void Seek(std::int64_t pos) = 0;
    virtual void Skip(std::int64_t n) = 0;
    virtual ~InputStream() = default;
};
