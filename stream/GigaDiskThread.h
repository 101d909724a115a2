// The process-wide disk streaming thread. It runs while some holder keeps a program that streams;
// each pass hands streams to the voices that asked for one, refills every active stream's ring a
// little, and recycles the streams their voices have let go. Voices reach it through the stream
// port it installs; programs tell it of their holders through the hook it installs.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/LibraryStatic.h"
#include "platform/QelLog.h"
#include "platform/UThread.h"
#include "player/KyRingBuffer.h"
#include "stream/GigaStream.h"
#include "stream/GigaStreamPort.h"

class GigaDiskThread : public UThread, public QelLog {
public:
    static constexpr std::uint32_t kRequestSlots = 256;  // 255 voices can wait
    static constexpr int kActiveSleepMs = 2;
    static constexpr int kIdleSleepMs = 10;
    static constexpr int kPollMs = 10;
    // The longest an offline render waits for a stream or its data before the voice gives up.
    static constexpr int kOfflineWaitLimitMs = 5000;

    // Made on first use; its destruction stops and joins the thread, so no thread is left
    // running in code a host is about to unload.
    static GigaDiskThread& Instance();
    // The object when it exists (null before first use and once destroyed); never makes it.
    static GigaDiskThread* Existing();
    ~GigaDiskThread() override;

    // Control threads. The thread starts with the first user; RemoveUser of the last one waits
    // until it has ended.
    void AddUser();
    void RemoveUser();
    int UserCount() const { return userCount_.load(std::memory_order_acquire); }

    // Audio thread (any plug-in instance's): queues the voice for a stream. False while another
    // request is being queued or when 255 are waiting; the voice asks again next block.
    bool RequestStream(GigaStreamClient& voice);

    // Control threads: wait for n more passes (at once when the thread is not running), or for
    // the thread to end.
    void WaitPasses(int n);
    void WaitStopped();

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

protected:
    void Run() override;
    void StartHook() override;

private:
    friend GigaDiskThread& platform::LibraryStatic<GigaDiskThread>();
    GigaDiskThread();

    void Pass();
    void HandOut();
    void Service();
    void Append(GigaStream* stream);
    // Waits passes, filling the rings up, until `done` answers true; false when it never did.
    template <typename Done>
    bool AwaitPasses(Done&& done);
    // Leaving the thread: pending requests are dropped and every stream goes home.
    void Drain();

    std::atomic<int> userCount_ {0};
    std::atomic<int> passRequests_ {0};
    std::atomic<int> fillUp_ {0};  // offline waiters: each pass fills every ring
    std::atomic<bool> pushBusy_ {false};
    std::atomic<bool> leaving_ {false};
    KyRingBuffer<GigaStreamClient*> requests_ {kRequestSlots};
    // Disk thread only.
    GigaStream* head_ = nullptr;
    GigaStream* tail_ = nullptr;
    std::array<float, GigaStream::kRefillValues> scratch_ {};
    std::atomic<int> streamCount_ {0};
    std::atomic<std::uint64_t> passCount_ {0};
    std::atomic<std::uint64_t> refilledValues_ {0};
};
