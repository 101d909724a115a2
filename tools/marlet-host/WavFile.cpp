#include "tools/marlet-host/WavFile.h"

#include <sndfile.h>

#include <stdexcept>

WavFile::WavFile(const std::string& path, int channels, int sampleRate)
    : path_(path), channels_(channels)
{
    SF_INFO info {};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    if (!sf_format_check(&info))
        throw std::runtime_error(path + ": cannot write a WAV file with " +
                                 std::to_string(channels) + " channels at " +
                                 std::to_string(sampleRate) + " Hz");
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw std::runtime_error(path + ": " + sf_strerror(nullptr));
    file_ = file;
}

WavFile::~WavFile()
{
    if (file_) sf_close(static_cast<SNDFILE*>(file_));
}

void WavFile::Write(std::span<const float* const> channels, std::int32_t frames)
{
    if (!file_) throw std::logic_error("WavFile::Write after Close");
    if (channels.size() != static_cast<std::size_t>(channels_))
        throw std::logic_error("WavFile::Write with the wrong number of channels");
    interleaved_.resize(static_cast<std::size_t>(frames) * channels.size());
    for (std::size_t c = 0; c < channels.size(); ++c)
        for (std::int32_t f = 0; f < frames; ++f)
            interleaved_[static_cast<std::size_t>(f) * channels.size() + c] = channels[c][f];
    auto* file = static_cast<SNDFILE*>(file_);
    if (sf_writef_float(file, interleaved_.data(), frames) != frames)
        throw std::runtime_error(path_ + ": write failed: " + sf_strerror(file));
}

void WavFile::Close()
{
    if (!file_) return;
    auto* file = static_cast<SNDFILE*>(file_);
    file_ = nullptr;
    if (sf_close(file) != 0) throw std::runtime_error(path_ + ": cannot finish the file");
}
