#include "tools/marlet-host/OfflineRenderer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tools/marlet-host/EventScheduler.h"

OfflineRenderer::OfflineRenderer(VstPluginModule& module, double sampleRate, std::int32_t blockSize)
    : module_(module), effect_(module.Effect()), sampleRate_(sampleRate), blockSize_(blockSize)
{
    if (!effect_) throw std::logic_error("OfflineRenderer needs an open plug-in");
    if (!effect_->processReplacing)
        throw std::runtime_error("the plug-in has no replacing process call");
    const std::int32_t ins = effect_->numInputs;
    const std::int32_t outs = effect_->numOutputs;
    if (ins < 0 || ins > VstPluginModule::kMaxPins || outs < 0 || outs > VstPluginModule::kMaxPins)
        throw std::runtime_error("the plug-in reports " + std::to_string(ins) + " inputs and " +
                                 std::to_string(outs) + " outputs, which cannot be right");
    if (outs == 0) throw std::runtime_error("the plug-in has no outputs");

    const auto frames = static_cast<std::size_t>(blockSize);
    // Plug-ins index the input array without checking, so it is never null, even without inputs.
    inputBuffers_.assign(static_cast<std::size_t>(std::max(ins, 1)), std::vector<float>(frames));
    outputBuffers_.assign(static_cast<std::size_t>(outs), std::vector<float>(frames));
    for (auto& buffer : inputBuffers_) inputs_.push_back(buffer.data());
    for (auto& buffer : outputBuffers_) outputs_.push_back(buffer.data());
}

void OfflineRenderer::Open()
{
    module_.Dispatch(vst::effOpen);
    module_.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate_));
    module_.Dispatch(vst::effSetBlockSize, 0, blockSize_);
}

void OfflineRenderer::LoadChunk(std::span<const std::uint8_t> chunk)
{
    // The plug-in's parameter is not const; it gets a copy it may scribble on.
    std::vector<std::uint8_t> copy(chunk.begin(), chunk.end());
    module_.Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(copy.size()), copy.data());
}

void OfflineRenderer::SwitchOn()
{
    module_.Dispatch(vst::effMainsChanged, 0, 1);
    module_.Dispatch(vst::effStartProcess);
}

void OfflineRenderer::SwitchOff()
{
    module_.Dispatch(vst::effStopProcess);
    module_.Dispatch(vst::effMainsChanged, 0, 0);
}

std::span<const float* const> OfflineRenderer::RenderBlock(EventScheduler& events,
                                                           std::int64_t start, std::int32_t frames)
{
    ProcessBlock(events, start, std::clamp(frames, 0, blockSize_));
    return {outputs_.data(), outputs_.size()};
}

void OfflineRenderer::Play(EventScheduler& events, std::int64_t frames, const BlockSink& sink)
{
    SwitchOn();
    struct SwitchOffGuard {
        OfflineRenderer& renderer;
        ~SwitchOffGuard() { renderer.SwitchOff(); }
    } switchOff {*this};

    for (std::int64_t done = 0; done < frames;) {
        const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(blockSize_, frames - done));
        ProcessBlock(events, done, n);
        sink(std::span<const float* const>(outputs_.data(), outputs_.size()), n);
        done += n;
    }
}

void OfflineRenderer::ProcessBlock(EventScheduler& events, std::int64_t start, std::int32_t frames)
{
    if (VstEvents* list = events.EventsForBlock(start, frames))
        module_.Dispatch(vst::effProcessEvents, 0, 0, list);
    // Cleared every block: some plug-ins process in place and write into their inputs, and one
    // leaving an output alone must yield silence, not the previous block.
    for (auto* buffers : {&inputBuffers_, &outputBuffers_})
        for (auto& buffer : *buffers) std::fill(buffer.begin(), buffer.end(), 0.0f);
    effect_->processReplacing(effect_, inputs_.data(), outputs_.data(), frames);
}

std::vector<std::uint8_t> OfflineRenderer::SaveChunk()
{
    void* data = nullptr;
    const vst::intptr size = module_.Dispatch(vst::effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}
