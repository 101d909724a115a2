#include "stream/GigaStreamPool.h"

#include "stream/GigaStream.h"

GigaStreamPool& GigaStreamPool::Of(GigaFile& file)
{
    if (auto* pool = dynamic_cast<GigaStreamPool*>(file.GetAttachment())) return *pool;
    return static_cast<GigaStreamPool&>(file.Attach(std::make_unique<GigaStreamPool>(file)));
}

GigaStreamPool::~GigaStreamPool() = default;

GigaStream* GigaStreamPool::TakeStream()
{
    if (!freeStreams_) {
        const int batch = streams_.empty() ? kInitialStreams : 1;
        for (int i = 0; i < batch; ++i) {
            std::shared_ptr<GigaStream> stream = GigaStream::Create(file_, *this);
            if (!stream) break;
            streams_.push_back(std::move(stream));
            ReturnStream(streams_.back().get());
        }
        if (!freeStreams_) return nullptr;
    }
    GigaStream* stream = freeStreams_;
    freeStreams_ = stream->next;
    stream->next = nullptr;
    return stream;
}

void GigaStreamPool::ReturnStream(GigaStream* stream)
{
    stream->next = freeStreams_;
    freeStreams_ = stream;
}

int GigaStreamPool::FreeStreams() const
{
    int count = 0;
    for (const GigaStream* s = freeStreams_; s; s = s->next) ++count;
    return count;
}
