// Drives a loaded plug-in the way a host renders offline: open it, tell it the rate and block
// size, optionally restore its state, then switch it on, feed events and pull audio block by
// block, and switch it off again. The caller owns the module and closes it afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tools/marlet-host/VstPluginModule.h"

class EventScheduler;

class OfflineRenderer {
public:
    // Receives each rendered block: one pointer per plug-in output, `frames` samples each.
    using BlockSink =
        std::function<void(std::span<const float* const> outputs, std::int32_t frames)>;

    // Throws std::runtime_error when the plug-in cannot render (no replacing process call,
    // no outputs or an implausible number of pins).
    OfflineRenderer(VstPluginModule& module, double sampleRate, std::int32_t blockSize);

    // effOpen, effSetSampleRate, effSetBlockSize.
    void Open();
    // Restores a bank chunk (effSetChunk, index 0); call after Open and before Play.
    void LoadChunk(std::span<const std::uint8_t> chunk);
    // Switches the plug-in on, renders `frames` frames and switches it off, even when the sink
    // throws.
    void Play(EventScheduler& events, std::int64_t frames, const BlockSink& sink);
    // The parts of Play for a host that paces the blocks itself: switch on, render one block
    // (at most the block size) starting at frame `start`, switch off.
    void SwitchOn();
    std::span<const float* const> RenderBlock(EventScheduler& events, std::int64_t start,
                                              std::int32_t frames);
    void SwitchOff();
    // The plug-in's bank chunk (effGetChunk, index 0); empty when it has none.
    std::vector<std::uint8_t> SaveChunk();

    std::int32_t BlockSize() const { return blockSize_; }
    std::int32_t Outputs() const { return static_cast<std::int32_t>(outputs_.size()); }

private:
    void ProcessBlock(EventScheduler& events, std::int64_t start, std::int32_t frames);

    VstPluginModule& module_;
    AEffect* effect_;
    double sampleRate_;
    std::int32_t blockSize_;
    std::vector<std::vector<float>> inputBuffers_;
    std::vector<std::vector<float>> outputBuffers_;
    std::vector<float*> inputs_;
    std::vector<float*> outputs_;
};
