#include "stream/GigaStream.h"

#include <algorithm>

#include "gig/GigaFile.h"
#include "gig/GigaSample.h"
#include "stream/GigaStreamPool.h"

std::unique_ptr<GigaStream> GigaStream::Create(GigaFile& file, GigaStreamPool& pool)
{
    std::unique_ptr<GigaStream> stream(new GigaStream(file, pool));
    if (!stream->ring_.Create(kRingBytes)) return nullptr;
    if (!stream->input_.Open(file.Path()))
        file.Log("*** GigaStream::Create(%s) cannot open ***", file.Path().c_str());
    return stream;
}

bool GigaStream::Start(const GigaSample& sample)
{
    ring_.Clear();
    channels_ = sample.channels;
    remainingValues_ = 0;
    exhausted_.store(true, std::memory_order_relaxed);
    finished_.store(false, std::memory_order_relaxed);
    const std::int64_t frames = std::int64_t {sample.frameCount} - sample.preloadFrames;
    if (frames <= 0 || channels_ < 1 || channels_ > GigaSampleReader::kMaxChannels) return false;
    // A file that was away when the stream was made may be back: its handle is tried again.
    if (!input_.IsOpen()) input_.OpenQuietly(file_->Path());
    if (!input_.IsOpen() || !reader_.Open(sample, input_, sample.streamOffset)) return false;
    remainingValues_ = frames * channels_;
    exhausted_.store(false, std::memory_order_release);
    return true;
}

int GigaStream::Refill(std::span<float> scratch)
{
    if (remainingValues_ <= 0 || Finished()) return 0;
    if (ring_.Free() < kRefillFreeBytes) return 0;
    const auto wanted = static_cast<int>(std::min<std::int64_t>(
        {remainingValues_, kRefillValues, static_cast<std::int64_t>(scratch.size())}));
    const int frames = wanted / channels_;
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
