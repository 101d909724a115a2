// One physical file of a bank: the .gig itself or one of its extension files. Knows where its
// wave pool starts and fills sample records from it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "riff/FastRiff.h"
#include "riff/FastRiffInput.h"
#include "sample/GigaSampleReader.h"

class GigaSample;

class GigaFile : public FastRiff {
public:
    // Something a higher floor keeps with each file and that lives exactly as long as it (the
    // disk thread's streams of this file).
    class Attachment {
    public:
        virtual ~Attachment() = default;
    };

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
    // Reads preloads from this file, in large reads.
    GigaSampleReader reader {GigaSampleReader::kPreloadReadAhead};

    // Set and read by the one thread that serves it (the disk thread); destroyed with the file,
    // before its handle.
    Attachment* GetAttachment() const { return attachment_.get(); }
    Attachment& Attach(std::unique_ptr<Attachment> attachment)
    {
        attachment_ = std::move(attachment);
        return *attachment_;
    }

private:
    FastRiffInput input_ {*this};
    bool poolCut_ = false;
    std::unique_ptr<Attachment> attachment_;
};
