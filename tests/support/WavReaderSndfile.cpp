// WavReader through libsndfile (the Linux build).
#include "tests/support/WavReader.h"

#include <sndfile.h>

namespace testsupport {

WavReader::WavReader(const std::string& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error_ = sf_strerror(nullptr);
        return;
    }
    channels_ = info.channels;
    sampleRate_ = info.samplerate;
    frames_ = info.frames;
    isFloat_ = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV &&
               (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT;
    samples_.resize(static_cast<std::size_t>(frames_ * channels_));
    ok_ = sf_readf_float(file, samples_.data(), frames_) == frames_;
    if (!ok_) error_ = "short read";
    sf_close(file);
}

}  // namespace testsupport
