#include "stream/GigaDiskThread.h"

#include <chrono>
#include <utility>

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
// Threads given up and still in their read. Not a member: such a thread may outlive the object.
std::atomic<int> gGivenUp {0};

using Clock = std::chrono::steady_clock;

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
    std::lock_guard lock(controlMutex_);
    userCount_.store(0, std::memory_order_seq_cst);
    EndLane(true);
}

int GigaDiskThread::ThreadsGivenUp()
{
    return gGivenUp.load(std::memory_order_acquire);
}

void GigaDiskThread::AddUser()
{
    std::lock_guard lock(controlMutex_);
    userCount_.fetch_add(1, std::memory_order_seq_cst);
    for (;;) {
        if (!running_.load(std::memory_order_acquire)) {
            if (!StartLane(nullptr))
                Log("*** GigaDiskThread::AddUser() cannot start the thread ***");
            return;
        }
        // A running thread that has not begun to leave is bound to see our count (the seq_cst
        // pair with Run's check); one that is leaving either stays or ends within its drain.
        if (!leaving_.load(std::memory_order_seq_cst)) return;
        platform::SleepMs(1);
    }
}

void GigaDiskThread::RemoveUser()
{
    std::lock_guard lock(controlMutex_);
    int count = userCount_.load(std::memory_order_relaxed);
    do {
        if (count <= 0) {
            Log("*** GigaDiskThread::RemoveUser() without a user ***");
            return;
        }
    } while (!userCount_.compare_exchange_weak(count, count - 1, std::memory_order_seq_cst));
    // Gone, not just leaving: a host that closed the last instance finds no thread of ours.
    if (count == 1) EndLane(false);
}

bool GigaDiskThread::StartLane(GigaStream* adopted)
{
    // One that has left its run is collected (one given up was abandoned: nothing attached).
    thread_.Join();
    auto lane = std::make_shared<Lane>();
    int count = 0;
    for (GigaStream* stream = adopted; stream; stream = stream->next) {
        lane->tail = stream;
        ++count;
    }
    lane->head = adopted;
    streamCount_.store(count, std::memory_order_relaxed);
    leaving_.store(false, std::memory_order_seq_cst);
    // No consumer runs, so we may act as one: requests queued while nobody served them may come
    // from voices that are gone by now.
    requests_.Clear();
    running_.store(true, std::memory_order_release);
    const bool started = thread_.Start(
        [this, lane]() mutable {
            const bool givenUp = !Run(*lane);
            // The stream it read goes with the lane, once nobody else holds it.
            lane.reset();
            if (givenUp) gGivenUp.fetch_sub(1, std::memory_order_acq_rel);
        },
        platform::ThreadPriority::Normal);
    if (!started) {
        running_.store(false, std::memory_order_release);
        for (GigaStream* stream = adopted; stream;) {
            GigaStream* const next = stream->next;
            stream->Recycle();
            stream = next;
        }
        streamCount_.store(0, std::memory_order_relaxed);
        return false;
    }
    lane_ = std::move(lane);
    return true;
}

void GigaDiskThread::EndLane(bool atTeardown)
{
    // Only a pinned module keeps its code for a thread given up; at teardown the streams' files
    // are gone already.
    const bool mayGiveUp = !atTeardown || platform::ModulePinned();
    const auto until = Clock::now() + std::chrono::milliseconds(kGiveUpMs);
    while (running_.load(std::memory_order_acquire)) {
        if (thread_.JoinWithin(kPollMs)) break;
        if (mayGiveUp && Clock::now() >= until && GiveUp(!atTeardown)) return;
    }
    thread_.Join();
    lane_.reset();
}

bool GigaDiskThread::GiveUp(bool recycle)
{
    if (!lane_) return false;
    // Counted before the thread can see it, so that the count never dips below zero.
    gGivenUp.fetch_add(1, std::memory_order_acq_rel);
    int expected = kReading;
    if (!lane_->phase.compare_exchange_strong(expected, kGivenUp, std::memory_order_acq_rel)) {
        gGivenUp.fetch_sub(1, std::memory_order_acq_rel);
        return false;
    }
    Log("*** GigaDiskThread: a read does not end; the thread is left to end on its own ***");
    thread_.Abandon();
    running_.store(false, std::memory_order_release);
    // Its list is ours now: it touches the stream it reads, and nothing else, from here on.
    const GigaStream* const reading = lane_->reading.get();
    const bool users = userCount_.load(std::memory_order_seq_cst) > 0;
    GigaStream* kept = nullptr;
    GigaStream* keptTail = nullptr;
    for (GigaStream* stream = lane_->head; stream;) {
        GigaStream* const next = stream->next;
        if (stream == reading) {
            // Stays out of its pool: the thread given up may still write into it.
        } else if (recycle && (!users || stream->Finished())) {
            stream->Recycle();
        } else if (recycle) {
            stream->next = nullptr;
            (keptTail ? keptTail->next : kept) = stream;
            keptTail = stream;
        }
        stream = next;
    }
    lane_.reset();
    streamCount_.store(0, std::memory_order_relaxed);
    passRequests_.store(0, std::memory_order_release);
    if (users && !StartLane(kept))
        Log("*** GigaDiskThread: no new thread to take over the streams ***");
    return true;
}

bool GigaDiskThread::RequestStream(GigaStreamClient& voice)
{
    // Audio threads of several plug-in instances may get here together: one pushes at a time.
    if (pushBusy_.exchange(true, std::memory_order_acquire)) return false;
    const bool queued = requests_.Push(&voice);
    pushBusy_.store(false, std::memory_order_release);
    return queued;
}

bool GigaDiskThread::WaitPasses(int n, int limitMs)
{
    if (n <= 0 || !IsRunning()) return true;
    const auto until = Clock::now() + std::chrono::milliseconds(limitMs);
    passRequests_.store(n, std::memory_order_release);
    // A pass takes a couple of milliseconds: offline rendering waits for one per block.
    while (IsRunning() && passRequests_.load(std::memory_order_acquire) > 0) {
        if (Clock::now() >= until) return false;
        platform::SleepMs(1);
    }
    return true;
}

void GigaDiskThread::SettlePasses(int n)
{
    // Long enough for any pass that reads at all; after that, the thread is given up the moment
    // it is found inside a file operation (outside one it is bound to go on).
    int limitMs = kGiveUpMs;
    while (!WaitPasses(n, limitMs)) {
        {
            std::lock_guard lock(controlMutex_);
            if (GiveUp(true)) return;
        }
        limitMs = kPollMs;
    }
}

template <typename Done>
bool GigaDiskThread::AwaitPasses(Done&& done)
{
    fillUp_.fetch_add(1, std::memory_order_acq_rel);
    bool reached = done();
    const auto until = Clock::now() + std::chrono::milliseconds(kOfflineWaitLimitMs);
    while (!reached && IsRunning()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) break;
        WaitPasses(1, static_cast<int>(left));
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
    // More than refills are sure to reach (a voice pitched far up) would be waited for in vain,
    // the render stalling for the whole wait limit on every block: refused at once, the voice
    // ends as a live one does when its ring runs dry.
    if (values <= 0 ||
        static_cast<std::uint64_t>(values) * sizeof(float) > GigaStream::kReachableBytes)
        return false;
    const auto bytes = static_cast<std::uint32_t>(values) * sizeof(float);
    // Exhausted is read first: the values written before it was set are in the ring by then.
    AwaitPasses([&] { return stream.Exhausted() || stream.FilledBytes() >= bytes; });
    return stream.FilledBytes() >= bytes;
}

void GigaDiskThread::WaitStopped()
{
    while (IsRunning()) platform::SleepMs(kPollMs);
}

bool GigaDiskThread::Run(Lane& lane)
{
    for (;;) {
        if (!Pass(lane)) return false;
        if (userCount_.load(std::memory_order_seq_cst) > 0) continue;
        leaving_.store(true, std::memory_order_seq_cst);
        if (userCount_.load(std::memory_order_seq_cst) == 0) break;
        leaving_.store(false, std::memory_order_seq_cst);
    }
    Drain(lane);
    passRequests_.store(0, std::memory_order_release);
    // The last touch of this object: EndLane may collect the thread from here on.
    running_.store(false, std::memory_order_release);
    return true;
}

bool GigaDiskThread::Pass(Lane& lane)
{
    int pending = passRequests_.load(std::memory_order_acquire);
    // A waiter that has just asked anew keeps its fresh count.
    if (pending > 0)
        passRequests_.compare_exchange_strong(pending, pending - 1, std::memory_order_acq_rel);
    if (!HandOut(lane)) return false;
    const bool active = lane.head != nullptr;
    if (active && !Service(lane)) return false;
    passCount_.fetch_add(1, std::memory_order_relaxed);
    platform::SleepMs(active ? kActiveSleepMs : kIdleSleepMs);
    return true;
}

bool GigaDiskThread::Refill(Lane& lane, GigaStream& stream, int& added)
{
    lane.reading = stream.shared_from_this();
    // Publishes the list as it stands to a closer that gives us up from here on.
    lane.phase.store(kReading, std::memory_order_release);
    added = stream.Refill(lane.scratch);
    int expected = kReading;
    if (!lane.phase.compare_exchange_strong(expected, kOutside, std::memory_order_acq_rel))
        return false;
    lane.reading.reset();
    return true;
}

bool GigaDiskThread::HandOut(Lane& lane)
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
            int added = 0;
            if (!Refill(lane, *stream, added)) return false;
            refilledValues_.fetch_add(static_cast<std::uint64_t>(added), std::memory_order_release);
            Append(lane, stream);
            // Refused: the stream is already marked finished and goes home in Service.
            voice->AttachStream(stream, sample);
        }
    }
    requests_.Advance(runs.Count());
    return true;
}

void GigaDiskThread::Append(Lane& lane, GigaStream* stream)
{
    stream->next = nullptr;
    if (lane.tail)
        lane.tail->next = stream;
    else
        lane.head = stream;
    lane.tail = stream;
    streamCount_.fetch_add(1, std::memory_order_relaxed);
}

bool GigaDiskThread::Service(Lane& lane)
{
    GigaStream* previous = nullptr;
    std::uint64_t values = 0;
    for (GigaStream* stream = lane.head; stream;) {
        GigaStream* const next = stream->next;
        if (stream->Finished()) {
            (previous ? previous->next : lane.head) = next;
            if (lane.tail == stream) lane.tail = previous;
            streamCount_.fetch_sub(1, std::memory_order_relaxed);
            stream->Recycle();
        } else {
            const bool fillUp = fillUp_.load(std::memory_order_acquire) > 0;
            int added = 0;
            do {
                if (!Refill(lane, *stream, added)) return false;
                values += static_cast<std::uint64_t>(added);
            } while (fillUp && added > 0);
            previous = stream;
        }
        stream = next;
    }
    refilledValues_.fetch_add(values, std::memory_order_release);
    return true;
}

void GigaDiskThread::Drain(Lane& lane)
{
    requests_.Advance(requests_.Pending());
    int held = 0;
    while (GigaStream* stream = lane.head) {
        lane.head = stream->next;
        if (!stream->Finished()) ++held;
        stream->Recycle();
    }
    lane.tail = nullptr;
    streamCount_.store(0, std::memory_order_relaxed);
    if (held > 0) Log("*** GigaDiskThread::Run() %d streams still held at the end ***", held);
}
