#include "stream/GigaStream.h"

#include <algorithm>

#include "gig/GigaFile.h"
#include "gig/GigaSample.h"
#include "platform/Platform.h"
#include "stream/GigaStreamPool.h"

GigaStream::GigaStream(GigaFile& file, GigaStreamPool& pool)
    : file_(&file), pool_(&pool), path_(file.Path())
{
}

std::shared_ptr<GigaStream> GigaStream::Create(GigaFile& file, GigaStreamPool& pool)
{
    std::shared_ptr<GigaStream> stream(new GigaStream(file, pool));
    if (!stream->ring_.Create(kRingBytes)) return nullptr;
    return stream;
}

bool GigaStream::Start(const GigaSample& sample)
{
    ring_.Clear();
    channels_ = sample.channels;
    remainingValues_ = 0;
    positioned_ = false;
    exhausted_.store(true, std::memory_order_relaxed);
    finished_.store(false, std::memory_order_relaxed);
    const std::int64_t frames = std::int64_t {sample.frameCount} - sample.preloadFrames;
    if (frames <= 0 || channels_ < 1 || channels_ > GigaSampleReader::kMaxChannels) return false;
    format_ = sample;
    startOffset_ = sample.streamOffset;
    remainingValues_ = frames * channels_;
    exhausted_.store(false, std::memory_order_release);
    return true;
}

bool GigaStream::Position()
{
    positioned_ = true;
    // A file that was away when the stream last ran may be back: its handle is tried again.
    if (!input_.IsOpen()) input_.OpenQuietly(path_);
    if (input_.IsOpen() && reader_.Open(format_, input_, startOffset_)) return true;
    remainingValues_ = 0;
    exhausted_.store(true, std::memory_order_release);
    return false;
}

int GigaStream::Refill(std::span<float> scratch)
{
    if (remainingValues_ <= 0 || Finished()) return 0;
    if (!positioned_ && !Position()) return 0;
    if (ring_.Free() < kRefillFreeBytes) return 0;
    const auto wanted = static_cast<int>(std::min<std::int64_t>(
        {remainingValues_, kRefillValues, static_cast<std::int64_t>(scratch.size())}));
    const int frames = wanted / channels_;
    platform::AnnounceFileReading(path_);
    const int got = reader_.ReadFloats(scratch, frames);
    const int values = got * channels_;
    ring_.Write(scratch.data(), static_cast<std::uint32_t>(values) * sizeof(float));
    // Short of what the sample promised: nothing more is read, the voice runs dry and ends.
    remainingValues_ = got < frames ? 0 : remainingValues_ - values;
    // Published after the values, so a reader that sees it also sees everything written.
    if (remainingValues_ <= 0) exhausted_.store(true, std::memory_order_release);
    return values;
}

void GigaStream::Recycle()
{
    ring_.Clear();
    remainingValues_ = 0;
    exhausted_.store(true, std::memory_order_release);
    pool_->ReturnStream(this);
}

bool GigaStream::Pull(float* dst, int values)
{
    const auto bytes = static_cast<std::uint32_t>(values) * sizeof(float);
    if (values < 0 || ring_.Filled() < bytes) return false;
    ring_.Read(dst, bytes);
    return true;
}
