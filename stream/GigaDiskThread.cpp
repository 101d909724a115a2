#include "stream/GigaDiskThread.h"

#include "gig/GigaFile.h"
#include "gig/GigaProgram.h"
#include "gig/GigaSample.h"
#include "platform/FourCC.h"
#include "platform/Platform.h"
#include "stream/GigaStreamPool.h"

namespace {

// Set once the object is complete, so the audio thread never meets a half-made one (nor the
// guard of a function-local static).
std::atomic<GigaDiskThread*> gInstance {nullptr};

bool Request(GigaStreamClient& voice)
{
    GigaDiskThread* disk = gInstance.load(std::memory_order_acquire);
    return disk && disk->RequestStream(voice);
}
bool Pull(GigaStream& stream, float* dst, int values)
{
    return stream.Pull(dst, values);
}
void Finish(GigaStream& stream)
{
    stream.Finish();
}
void StreamUsers(int delta)
{
    GigaDiskThread* disk = gInstance.load(std::memory_order_acquire);
    if (!disk) return;
    if (delta > 0)
        disk->AddUser();
    else
        disk->RemoveUser();
}

void AwaitStream(const GigaStreamClient& voice)
{
    if (GigaDiskThread* disk = gInstance.load(std::memory_order_acquire)) disk->AwaitStream(voice);
}
bool AwaitValues(const GigaStream& stream, int values)
{
    GigaDiskThread* disk = gInstance.load(std::memory_order_acquire);
    return disk && disk->AwaitValues(stream, values);
}

constexpr GigaStreamPort kPort {Request, Pull, Finish, AwaitStream, AwaitValues};

}  // namespace

GigaDiskThread& GigaDiskThread::Instance()
{
    return platform::LibraryStatic<GigaDiskThread>();
}

GigaDiskThread* GigaDiskThread::Existing()
{
    return gInstance.load(std::memory_order_acquire);
}

const GigaStreamPort& GigaDiskThread::Port()
{
    return kPort;
}

GigaDiskThread::GigaDiskThread()
{
    gInstance.store(this, std::memory_order_release);
    GigaStreamPort::SetCurrent(&kPort);
    GigaProgram::SetStreamUserHook(StreamUsers);
}

GigaDiskThread::~GigaDiskThread()
{
    GigaProgram::SetStreamUserHook(nullptr);
    GigaStreamPort::SetCurrent(nullptr);
    gInstance.store(nullptr, std::memory_order_release);
    userCount_.store(0, std::memory_order_seq_cst);
    Join();
}

void GigaDiskThread::AddUser()
{
    userCount_.fetch_add(1, std::memory_order_seq_cst);
    for (;;) {
        if (Start(FourCC("disk"), kPriorityNormal)) return;
        // A running thread that has not begun to leave is bound to see our count (the seq_cst
        // pair with Run's check); one that is leaving is waited out and started anew.
        if (!leaving_.load(std::memory_order_seq_cst)) return;
        platform::SleepMs(1);
    }
}

void GigaDiskThread::RemoveUser()
{
    int count = userCount_.load(std::memory_order_relaxed);
    do {
        if (count <= 0) {
            Log("*** GigaDiskThread::RemoveUser() without a user ***");
            return;
        }
    } while (!userCount_.compare_exchange_weak(count, count - 1, std::memory_order_seq_cst));
    if (count != 1) return;
    while (IsRunning() && userCount_.load(std::memory_order_seq_cst) == 0)
        platform::SleepMs(kPollMs);
    // Gone, not just leaving: a host that closed the last instance finds no thread of ours.
    if (userCount_.load(std::memory_order_seq_cst) == 0) Reap();
}

bool GigaDiskThread::RequestStream(GigaStreamClient& voice)
{
    // Audio threads of several plug-in instances may get here together: one pushes at a time.
    if (pushBusy_.exchange(true, std::memory_order_acquire)) return false;
    const bool queued = requests_.Push(&voice);
    pushBusy_.store(false, std::memory_order_release);
    return queued;
}

void GigaDiskThread::WaitPasses(int n)
{
    if (n <= 0 || !IsRunning()) return;
    passRequests_.store(n, std::memory_order_release);
    // A pass takes a couple of milliseconds: offline rendering waits for one per block.
    while (IsRunning() && passRequests_.load(std::memory_order_acquire) > 0) platform::SleepMs(1);
}

template <typename Done>
bool GigaDiskThread::AwaitPasses(Done&& done)
{
    fillUp_.fetch_add(1, std::memory_order_acq_rel);
    bool reached = done();
    for (int waited = 0; !reached && IsRunning() && waited < kOfflineWaitLimitMs;
         waited += kActiveSleepMs) {
        WaitPasses(1);
        reached = done();
    }
    fillUp_.fetch_sub(1, std::memory_order_acq_rel);
    if (!reached) Log("*** GigaDiskThread: an offline render gave up waiting for the disk ***");
    return reached;
}

void GigaDiskThread::AwaitStream(const GigaStreamClient& voice)
{
    AwaitPasses([&] { return voice.RequestedSample() == nullptr; });
}

bool GigaDiskThread::AwaitValues(const GigaStream& stream, int values)
{
    const auto bytes = static_cast<std::uint32_t>(values) * sizeof(float);
    if (values <= 0 || bytes > GigaStream::kRingBytes - sizeof(float)) return false;
    // Exhausted is read first: the values written before it was set are in the ring by then.
    AwaitPasses([&] { return stream.Exhausted() || stream.FilledBytes() >= bytes; });
    return stream.FilledBytes() >= bytes;
}

void GigaDiskThread::WaitStopped()
{
    while (IsRunning()) platform::SleepMs(kPollMs);
}

void GigaDiskThread::StartHook()
{
    leaving_.store(false, std::memory_order_seq_cst);
    // No consumer runs yet, so we may act as one: requests queued while nobody served them may
    // come from voices that are gone by now.
    requests_.Clear();
}

void GigaDiskThread::Run()
{
    for (;;) {
        Pass();
        if (userCount_.load(std::memory_order_seq_cst) > 0) continue;
        leaving_.store(true, std::memory_order_seq_cst);
        if (userCount_.load(std::memory_order_seq_cst) == 0) break;
        leaving_.store(false, std::memory_order_seq_cst);
    }
    Drain();
    passRequests_.store(0, std::memory_order_release);
}

void GigaDiskThread::Pass()
{
    int pending = passRequests_.load(std::memory_order_acquire);
    // A waiter that has just asked anew keeps its fresh count.
    if (pending > 0)
        passRequests_.compare_exchange_strong(pending, pending - 1, std::memory_order_acq_rel);
    HandOut();
    const bool active = head_ != nullptr;
    if (active) Service();
    passCount_.fetch_add(1, std::memory_order_relaxed);
    platform::SleepMs(active ? kActiveSleepMs : kIdleSleepMs);
}

void GigaDiskThread::HandOut()
{
    const auto runs = requests_.Peek(kRequestSlots);
    for (const auto& run : {runs.first, runs.second}) {
        for (GigaStreamClient* voice : run) {
            // Nothing pending any more: the voice ended or moved on since it asked.
            const GigaSample* sample = voice->RequestedSample();
            if (!sample || !sample->file) continue;
            GigaStream* stream = GigaStreamPool::Of(*sample->file).TakeStream();
            if (!stream) continue;
            stream->Start(*sample);
            // Some frames are there before the voice can reach for them.
            refilledValues_.fetch_add(static_cast<std::uint64_t>(stream->Refill(scratch_)),
                                      std::memory_order_release);
            Append(stream);
            // Refused: the stream is already marked finished and goes home in Service.
            voice->AttachStream(stream, sample);
        }
    }
    requests_.Advance(runs.Count());
}

void GigaDiskThread::Append(GigaStream* stream)
{
    stream->next = nullptr;
    if (tail_)
        tail_->next = stream;
    else
        head_ = stream;
    tail_ = stream;
    streamCount_.fetch_add(1, std::memory_order_relaxed);
}

void GigaDiskThread::Service()
{
    GigaStream* previous = nullptr;
    std::uint64_t values = 0;
    for (GigaStream* stream = head_; stream;) {
        GigaStream* const next = stream->next;
        if (stream->Finished()) {
            (previous ? previous->next : head_) = next;
            if (tail_ == stream) tail_ = previous;
            streamCount_.fetch_sub(1, std::memory_order_relaxed);
            stream->Recycle();
        } else {
            const bool fillUp = fillUp_.load(std::memory_order_acquire) > 0;
            for (int added = stream->Refill(scratch_); added > 0;
                 added = fillUp ? stream->Refill(scratch_) : 0)
                values += static_cast<std::uint64_t>(added);
            previous = stream;
        }
        stream = next;
    }
    refilledValues_.fetch_add(values, std::memory_order_release);
}

void GigaDiskThread::Drain()
{
    requests_.Advance(requests_.Pending());
    int held = 0;
    while (GigaStream* stream = head_) {
        head_ = stream->next;
        if (!stream->Finished()) ++held;
        stream->Recycle();
    }
    tail_ = nullptr;
    streamCount_.store(0, std::memory_order_relaxed);
    if (held > 0) Log("*** GigaDiskThread::Run() %d streams still held at the end ***", held);
}
