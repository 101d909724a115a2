// The host's audio thread against one plug-in: hands it MIDI and asks for blocks, only through
// the AEffect record, and counts the heap allocations the plug-in makes inside those calls.
// The event list and the output channels are made once, so that the host side of this thread
// does not allocate either. One object per audio thread, whose counts of blocks other threads
// may read while it plays; the executable links tests/support/AllocationCounter.cpp.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "tests/plugin/GuardedOutputs.h"
#include "tests/support/AllocationCounter.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace hostside {

class AudioSide {
public:
    static constexpr std::size_t kMaxEvents = 1024;

    AudioSide(AEffect* effect, int maxFrames) : effect_(effect), outputs_(maxFrames)
    {
        storage_.resize(sizeof(VstEvents) + sizeof(VstEvent*) * kMaxEvents);
        midi_.resize(kMaxEvents);
    }

    // effProcessEvents with the events in one list, in order (at most kMaxEvents of them).
    void Send(std::span<const VstMidiEvent> midi)
    {
        auto* list = reinterpret_cast<VstEvents*>(storage_.data());
        const std::size_t count = std::min(midi.size(), kMaxEvents);
        list->numEvents = static_cast<vst::int32>(count);
        for (std::size_t i = 0; i < count; ++i) {
            midi_[i] = midi[i];
            list->events[i] = reinterpret_cast<VstEvent*>(&midi_[i]);
        }
        testsupport::AllocationCounter counter;
        effect_->dispatcher(effect_, vst::effProcessEvents, 0, 0, list, 0.0f);
        allocations_ += counter.Count();
    }

    // processReplacing into guarded channels; answers what is wrong with the block, empty when
    // nothing is.
    std::string Render(int frames)
    {
        float** outputs = outputs_.Prepare(frames);
        {
            testsupport::AllocationCounter counter;
            effect_->processReplacing(effect_, nullptr, outputs, frames);
            allocations_ += counter.Count();
        }
        std::string fault = outputs_.Fault();
        if (outputs_.BlockPeak() > 0.0f) soundingBlocks_.fetch_add(1, std::memory_order_relaxed);
        blocks_.fetch_add(1, std::memory_order_release);
        return fault;
    }

    // Heap allocations the plug-in made in this thread's processEvents and processReplacing.
    std::size_t Allocations() const { return allocations_; }
    // Blocks rendered; any thread.
    std::size_t Blocks() const { return blocks_.load(std::memory_order_acquire); }
    // Blocks in which anything sounded; any thread (read after Blocks, it is up to date with it).
    std::size_t SoundingBlocks() const { return soundingBlocks_.load(std::memory_order_relaxed); }
    float Peak() const { return outputs_.Peak(); }

private:
    AEffect* effect_;
    GuardedOutputs outputs_;
    std::vector<char> storage_;
    std::vector<VstMidiEvent> midi_;
    std::size_t allocations_ = 0;
    std::atomic<std::size_t> blocks_ {0};
    std::atomic<std::size_t> soundingBlocks_ {0};
};

}  // namespace hostside
