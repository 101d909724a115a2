// A tone that plays nothing but remembers every event it applied, in order, with the block it
// was applied in, and every notification it sent.
#pragma once

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/KyTone.h"

namespace testsupport {

class RecordingTone : public KyTone {
public:
    struct Applied {
        int block;
        KyMidiEvent event;
        bool afterKill;  // applied after a stop had begun to silence the tone
    };

    RecordingTone(int index, int channel, bool hasInstrument = true)
        : KyTone(index, channel), hasInstrument_(hasInstrument)
    {
    }

    bool HasInstrument() const override { return hasInstrument_; }
    void SetHasInstrument(bool has) { hasInstrument_ = has; }
    // Pretend that voices sound for this many more blocks (drives the stop handshake).
    void SetSoundingBlocks(int blocks) { soundingBlocks_ = blocks; }

    std::vector<Applied> Events() const
    {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<KyMidiEvent> EventsOfType(std::int32_t type) const
    {
        std::vector<KyMidiEvent> out;
        for (const Applied& a : Events())
            if (a.event.type == type) out.push_back(a.event);
        return out;
    }
    int Blocks() const { return blocks_; }
    int Runs() const { return runs_; }
    int Killed() const { return killed_; }
    int EndedNow() const { return endedNow_; }

protected:
    void ProcessEvents(std::span<const KyMidiEvent> events) override
    {
        ++runs_;
        {
            std::lock_guard lock(mutex_);
            for (const KyMidiEvent& e : events) events_.push_back({blocks_, e, killed_ > 0});
        }
        KyTone::ProcessEvents(events);
    }
    int MixVoices(KyBufferList* outputs, int frames) override
    {
        ++blocks_;
        const int sounding = soundingBlocks_.load();
        if (sounding > 0) soundingBlocks_.store(sounding - 1);
        return sounding + KyTone::MixVoices(outputs, frames);
    }
    void KillVoices() override
    {
        ++killed_;
        KyTone::KillVoices();
    }
    void EndVoicesNow() override
    {
        ++endedNow_;
        soundingBlocks_ = 0;
        KyTone::EndVoicesNow();
    }

private:
    bool hasInstrument_;
    std::atomic<int> soundingBlocks_ {0};
    std::atomic<int> blocks_ {0};
    std::atomic<int> runs_ {0};
    std::atomic<int> killed_ {0};
    std::atomic<int> endedNow_ {0};
    mutable std::mutex mutex_;  // the test thread reads while the audio thread records
    std::vector<Applied> events_;
};

class RecordingView : public KyToneView {
public:
    void ToneNotify(std::int32_t code, std::int32_t value) override
    {
        std::lock_guard lock(mutex_);
        notes_.emplace_back(code, value);
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> Notes() const
    {
        std::lock_guard lock(mutex_);
        return notes_;
    }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        notes_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::int32_t, std::int32_t>> notes_;
};

}  // namespace testsupport
