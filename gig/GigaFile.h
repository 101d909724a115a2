// One physical file of a bank: the .gig itself or one of its extension files. Knows where its
// wave pool starts and fills sample records from it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "gig/FastRiff.h"
#include "gig/FastRiffInput.h"
#include "stream/GigaSampleReader.h"

class GigaSample;

class GigaFile : public FastRiff {
public:
    GigaFile() = default;

    // Opens the file. With a known wave pool offset nothing more is read; otherwise the top level
    // of the 'RIFF' 'DLS ' form is walked to LIST 'wvpl', and a file without one is refused.
    bool Open(const std::string& filePath, std::int64_t knownWavePoolOffset = 0);

    // Fills `samples` in wave pool order from the 'wave' lists, up to the first 'einf' or the end
    // of the pool; answers how many were filled. Each one's file becomes this file. A malformed
    // chunk throws FastRiff::kFileError.
    int ReadWavePool(std::span<GigaSample> samples);

    const std::string& Path() const { return path; }
    std::int64_t WavePoolOffset() const { return wavePoolOffset; }

    // The file's own handle as a plain stream, for the sample reader.
    InputStream& Input() { return input_; }

    std::string path;
    std::int64_t wavePoolOffset = 0;  // header of LIST 'wvpl'
    // Reads preloads from this file.
    GigaSampleReader reader;

private:
    FastRiffInput input_ {*this};
};
