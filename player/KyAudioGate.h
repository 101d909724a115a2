// Who may touch the tones' consumer side right now: the audio thread inside a rendering pass,
// or a control thread that has taken over because the host stopped calling for blocks. Neither
// side ever waits on the other here: the audio thread that finds the gate taken renders silence
// for that block, and a control thread only takes over a gate that is idle.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

class KyAudioGate {
public:
    // Audio thread: start of a block. False when a control thread holds the gate.
    bool EnterRender()
    {
        blocks_.fetch_add(1, std::memory_order_relaxed);
        int expected = kIdle;
        if (!state_.compare_exchange_strong(expected, kRendering, std::memory_order_acq_rel))
            return false;
        renderSequence_.fetch_add(1, std::memory_order_seq_cst);  // odd: a block renders
        return true;
    }
    void LeaveRender()
    {
        renderSequence_.fetch_add(1, std::memory_order_seq_cst);
        state_.store(kIdle, std::memory_order_release);
    }

    // Control thread: returns once the block being rendered right now, if any, has ended. A
    // block that starts later sees whatever the caller changed before calling.
    void WaitOutRender() const
    {
        const std::uint64_t sequence = renderSequence_.load(std::memory_order_seq_cst);
        if (sequence % 2 == 0) return;
        while (renderSequence_.load(std::memory_order_seq_cst) == sequence)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }

    // Control thread: number of blocks the host has asked for so far (progress indicator).
    std::uint64_t Blocks() const { return blocks_.load(std::memory_order_relaxed); }

    // Control thread: takes the gate when no block is being rendered. Returns true also when
    // the gate is already held by a control thread (control threads are serialised by the
    // player, so that is the caller itself).
    bool TryTakeOver()
    {
        int expected = kIdle;
        if (state_.compare_exchange_strong(expected, kTakenOver, std::memory_order_acq_rel))
            return true;
        return expected == kTakenOver;
    }
    bool TakenOver() const { return state_.load(std::memory_order_acquire) == kTakenOver; }
    void Release()
    {
        int expected = kTakenOver;
        state_.compare_exchange_strong(expected, kIdle, std::memory_order_acq_rel);
    }

private:
    static constexpr int kIdle = 0;
    static constexpr int kRendering = 1;
    static constexpr int kTakenOver = 2;
    std::atomic<int> state_ {kIdle};
    std::atomic<std::uint64_t> blocks_ {0};
    std::atomic<std::uint64_t> renderSequence_ {0};
};
