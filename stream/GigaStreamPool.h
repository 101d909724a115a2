// The streams of one file: made at the first hand-out from that file, so that files never
// streamed from hold neither the handles nor the rings, and kept with the file (as its
// attachment) until it closes. Disk thread only.
#pragma once

#include <memory>
#include <vector>

#include "gig/GigaFile.h"

class GigaStream;

class GigaStreamPool final : public GigaFile::Attachment {
public:
    static constexpr int kInitialStreams = 24;

    // The pool of `file`, attached at the first call.
    static GigaStreamPool& Of(GigaFile& file);

    explicit GigaStreamPool(GigaFile& file) : file_(file) {}
    ~GigaStreamPool() override;

    // A stream from the free list, made when the list is empty (null when none can be made),
    // and its return. The pool owns every stream it made, listed or not.
    GigaStream* TakeStream();
    void ReturnStream(GigaStream* stream);
    int StreamsMade() const { return static_cast<int>(streams_.size()); }
    int FreeStreams() const;

private:
    GigaFile& file_;
    // Shared: a disk thread given up in a read keeps the stream it reads after the file goes.
    std::vector<std::shared_ptr<GigaStream>> streams_;
    GigaStream* freeStreams_ = nullptr;
};
