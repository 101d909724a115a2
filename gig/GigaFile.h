// One physical file of a bank: the .gig itself or one of its extension files. Knows where its
// wave pool starts and fills sample records from it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gig/FastRiff.h"
#include "gig/FastRiffInput.h"
#include "stream/GigaSampleReader.h"

class GigaSample;
class GigaStream;

class GigaFile : public FastRiff {
public:
    // Made at the first hand-out of a stream from this file, so that files never streamed from
    // hold neither the handles nor the rings.
    static constexpr int kInitialStreams = 24;

    GigaFile();
    ~GigaFile() override;

    // Opens the file. With a known wave pool offset nothing more is read; otherwise the top level
    // of the 'RIFF' 'DLS ' form is walked to LIST 'wvpl', and a file without one is refused.
    bool Open(const std::string& filePath, std::int64_t knownWavePoolOffset = 0);

    // Fills `samples` in wave pool order from the 'wave' lists, up to the first 'einf' or the end
    // of the pool; answers how many were filled. Each one's file becomes this file. A malformed
    // chunk throws FastRiff::kFileError. In a pool cut short, the last wave filled is the one
    // the file ends in: it keeps the data that are there (Presence::kCut), or is lost when
    // nothing of it can be played.
    int ReadWavePool(std::span<GigaSample> samples);
    // The last ReadWavePool met the end of the file: waves after those it filled are lost.
    bool PoolCut() const { return poolCut_; }

    const std::string& Path() const { return path; }
    std::int64_t WavePoolOffset() const { return wavePoolOffset; }

    // The file's own handle as a plain stream, for the sample reader.
    InputStream& Input() { return input_; }

    std::string path;
    std::int64_t wavePoolOffset = 0;  // header of LIST 'wvpl'
    // Reads preloads from this file.
    GigaSampleReader reader;

    // Disk thread only: a stream from the free list, made when the list is empty (null when none
    // can be made), and its return. The file owns every stream it made, listed or not.
    GigaStream* TakeStream();
    void ReturnStream(GigaStream* stream);
    int StreamsMade() const { return static_cast<int>(streams_.size()); }
    int FreeStreams() const;

private:
    FastRiffInput input_ {*this};
    bool poolCut_ = false;
    std::vector<std::unique_ptr<GigaStream>> streams_;
    GigaStream* freeStreams_ = nullptr;
};
