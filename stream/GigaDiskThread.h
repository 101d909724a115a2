// The process-wide disk streaming thread. It runs while some holder keeps a program that streams;
// each pass hands streams to the voices that asked for one, refills every active stream's ring a
// little, and recycles the streams their voices have let go. Voices reach it through the stream
// port it installs; programs tell it of their holders through the hook it installs.
//
// A read may not end (a dead network drive, a stalled USB disk). Closing never waits for it
// without bound: after kGiveUpMs a thread held in a file operation is given up. It keeps its
// lane (its own state, and the stream it reads, by shared ownership) and the module keeps its
// code (platform::Thread::Abandon); when its read returns it sees that it was given up, touches
// nothing else (no voice, no other stream, no pool, not this object) and ends. The streams it
// served go home or to the thread that takes over for the users left.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/LibraryStatic.h"
#include "platform/QelLog.h"
#include "platform/Thread.h"
#include "player/KyRingBuffer.h"
#include "stream/GigaStream.h"
#include "stream/GigaStreamPort.h"

class GigaDiskThread : public QelLog {
public:
    static constexpr std::uint32_t kRequestSlots = 256;  // 255 voices can wait
    static constexpr int kActiveSleepMs = 2;
    static constexpr int kIdleSleepMs = 10;
    static constexpr int kPollMs = 10;
    // The longest an offline render waits for a stream or its data before the voice gives up.
    static constexpr int kOfflineWaitLimitMs = 5000;
    // How long closing waits for a pass before it gives up a thread held in a file operation.
    static constexpr int kGiveUpMs = 3000;
    // The longest WaitPasses waits when its caller names no limit.
    static constexpr int kPassWaitMs = 30000;

    // Made on first use; its destruction stops and joins the thread, so no thread is left
    // running in code a host is about to unload (a thread held in a read is given up instead
    // when the module is pinned).
    static GigaDiskThread& Instance();
    // The object when it exists (null before first use and once destroyed); never makes it.
    static GigaDiskThread* Existing();
    ~GigaDiskThread() override;

    // Control threads. The thread starts with the first user; RemoveUser of the last one waits
    // until it has ended, or gives it up when it is held in a read for kGiveUpMs.
    void AddUser();
    void RemoveUser();
    int UserCount() const { return userCount_.load(std::memory_order_acquire); }
    // A thread serves the users (not counting threads given up).
    bool IsRunning() const { return running_.load(std::memory_order_acquire); }
    // Threads given up whose read has not returned yet, in the whole process.
    static int ThreadsGivenUp();

    // Audio thread (any plug-in instance's): queues the voice for a stream. False while another
    // request is being queued or when 255 are waiting; the voice asks again next block.
    bool RequestStream(GigaStreamClient& voice);

    // Control threads: wait for n more passes (at once when the thread is not running), at most
    // `limitMs`; false when they did not run in time. WaitStopped waits for the thread to end.
    bool WaitPasses(int n, int limitMs = kPassWaitMs);
    void WaitStopped();
    // Closing, before what the thread may reach goes (voices, and the files of the streams they
    // let go, which the caller keeps meanwhile): n more passes, so that no request, hand-over or
    // stream still points there. A thread held in a file operation for kGiveUpMs is given up
    // instead, the streams let go are recycled here, and a new thread serves the users left.
    void SettlePasses(int n);

    // A host's thread that renders offline (never a live audio thread): waits until the voice's
    // stream request has been answered, or until the ring holds `values` floats or will get no
    // more (false then). Meanwhile every pass fills the rings up.
    void AwaitStream(const GigaStreamClient& voice);
    bool AwaitValues(const GigaStream& stream, int values);

    // Voices waiting for a stream.
    int PendingRequests() const { return static_cast<int>(requests_.Pending()); }
    // What the voices are given to reach this thread (installed while the object lives).
    static const GigaStreamPort& Port();

    // Streams handed out and not yet recycled.
    int StreamCount() const { return streamCount_.load(std::memory_order_relaxed); }
    // Passes run since the object was made (for tests and benchmarks).
    std::uint64_t PassCount() const { return passCount_.load(std::memory_order_relaxed); }
    // Values written into rings since the object was made; the rings hold them once counted.
    std::uint64_t RefilledValues() const { return refilledValues_.load(std::memory_order_acquire); }

private:
    friend GigaDiskThread& platform::LibraryStatic<GigaDiskThread>();
    GigaDiskThread();

    enum Phase : int { kOutside, kReading, kGivenUp };
    // What one thread works on, shared with it. Only the thread touches it, except that a
    // closer that gives the thread up (taking it from kReading to kGivenUp) takes over its list.
    struct Lane {
        std::atomic<int> phase {kOutside};
        std::shared_ptr<GigaStream> reading;  // the stream whose file is in use
        GigaStream* head = nullptr;           // the active streams
        GigaStream* tail = nullptr;
        std::array<float, GigaStream::kRefillValues> scratch {};
    };

    // The thread's body. Each step answers false once the thread has been given up: the steps
    // above it return at once, touching nothing of this object.
    bool Run(Lane& lane);
    bool Pass(Lane& lane);
    bool HandOut(Lane& lane);
    bool Service(Lane& lane);
    // The file operations: the stream's Refill inside kReading.
    bool Refill(Lane& lane, GigaStream& stream, int& added);
    void Append(Lane& lane, GigaStream* stream);
    // Leaving the thread: pending requests are dropped and every stream goes home.
    void Drain(Lane& lane);

    // Under controlMutex_. A new thread, serving `adopted` (a list) too.
    bool StartLane(GigaStream* adopted);
    // Waits for a thread with no user left to end; one held in a read for kGiveUpMs is given up
    // (at the library's teardown only when the module is pinned).
    void EndLane(bool atTeardown);
    // Gives the thread up when it is inside a file operation (false otherwise). Its streams but
    // the one it reads are recycled when finished or when no user is left (unless `recycle` is
    // false: their files are gone), the others go to a new thread.
    bool GiveUp(bool recycle);
    // Waits passes, filling the rings up, until `done` answers true; false when it never did.
    template <typename Done>
    bool AwaitPasses(Done&& done);

    std::mutex controlMutex_;  // starts, ends and give-ups; never on the audio thread
    std::atomic<int> userCount_ {0};
    std::atomic<int> passRequests_ {0};
    std::atomic<int> fillUp_ {0};  // offline waiters: each pass fills every ring
    std::atomic<bool> pushBusy_ {false};
    std::atomic<bool> leaving_ {false};
    std::atomic<bool> running_ {false};
    KyRingBuffer<GigaStreamClient*> requests_ {kRequestSlots};
    platform::Thread thread_;
    std::shared_ptr<Lane> lane_;  // the running thread's, under controlMutex_
    std::atomic<int> streamCount_ {0};
    std::atomic<std::uint64_t> passCount_ {0};
    std::atomic<std::uint64_t> refilledValues_ {0};
};
