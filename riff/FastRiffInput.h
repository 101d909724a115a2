// A FastRiff seen as a plain input stream, so the sample reader can decode straight from the
// file handle (and buffer) the parser already holds.
#pragma once

#include "riff/FastRiff.h"
#include "riff/InputStream.h"

class FastRiffInput : public InputStream {
public:
    explicit FastRiffInput(FastRiff& riff) : riff_(riff) {}

    std::int64_t Read(void* dst, std::int64_t n) override { return riff_.ReadBytes(dst, n); }
    std::int64_t Size() const override { return riff_.FileSize(); }
    std::int64_t Tell() const override { return riff_.Tell(); }
    void Seek(std::int64_t pos) override { riff_.Seek(pos); }
    void Skip(std::int64_t n) override { riff_.Skip(n); }

private:
    FastRiff& riff_;
};
