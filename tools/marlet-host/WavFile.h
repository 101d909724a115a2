// Writes 32-bit float WAV files through libsndfile from planar (one buffer per channel) blocks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

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
    std::string path_;
    int channels_;
    void* file_ = nullptr;  // SNDFILE*
    std::vector<float> interleaved_;
};
