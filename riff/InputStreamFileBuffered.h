// The stream under the .gig parser: many small reads become 4096-byte file reads, and a seek
// inside the buffered range costs nothing.
#pragma once

#include <cstddef>
#include <memory>

#include "riff/InputStreamFile.h"

class InputStreamFileBuffered : public InputStreamFile {
public:
    static constexpr std::int64_t kCapacity = 4096;

    InputStreamFileBuffered();
    ~InputStreamFileBuffered() override;

    std::int64_t Read(void* dst, std::int64_t n) override;
    std::int64_t Tell() const override { return logical_; }
    void Seek(std::int64_t pos) override;
    void Skip(std::int64_t n) override { Seek(logical_ + n); }

    bool Open(const std::string& path) override;
    void Close() override;

private:
    struct alignas(16) Block {
        std::byte bytes[kCapacity];
    };

    void MarkEmptyAt(std::int64_t pos);
    // Refills the buffer from the logical position; false at the end of the file.
    bool Fill();

    std::int64_t logical_ = 0;
    std::unique_ptr<Block> buffer_;
    const std::byte* read_ = nullptr;  // null: nothing valid buffered
    std::int64_t first_ = 0;           // file offset of the first buffered byte
    std::int64_t valid_ = 0;           // valid bytes in the buffer
    std::int64_t left_ = 0;            // valid bytes after read_
};
