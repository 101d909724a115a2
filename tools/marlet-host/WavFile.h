// Writes 32-bit float WAV files from planar (one buffer per channel) blocks. The writer is our
// own (RIFF headers, then the samples little-endian), so that every platform's host writes the
// same bytes with no library to carry along.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"

class WavFile {
public:
    // The largest data size a RIFF WAV header can describe, less room for the header chunks.
    static constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 4096;

    // Throws std::runtime_error when the file cannot be created.
    WavFile(const std::string& path, int channels, int sampleRate);
    ~WavFile();
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    // One pointer per channel, each with `frames` samples. Throws when the write fails.
    void Write(std::span<const float* const> channels, std::int32_t frames);
    // Finishes the header; throws when that fails. Called by the destructor when needed.
    void Close();

    int Channels() const { return channels_; }

private:
    std::vector<std::uint8_t> Header() const;

    std::string path_;
    int channels_;
    int sampleRate_;
    platform::FileHandle file_ = platform::kNoFile;
    std::uint64_t headerBytes_ = 0;
    std::uint64_t dataBytes_ = 0;
    std::vector<std::uint8_t> block_;
};
