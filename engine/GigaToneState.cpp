// The tone's stack as others see it (its facts) and as a performance puts it back.
#include <array>
#include <memory>

#include "engine/GigaTone.h"
#include "gig/GigaProgram.h"
#include "player/KyPlayer.h"

namespace {

template <std::size_t N>
std::array<float, N> Values(const std::array<Relaxed<float>, N>& values)
{
    std::array<float, N> out {};
    for (std::size_t i = 0; i < N; ++i) out[i] = values[i].Get();
    return out;
}

}  // namespace

GigaToneFacts GigaTone::Facts() const
{
    std::lock_guard lock(stackMutex_);
    GigaToneFacts facts;
    facts.status = Status();
    facts.stackName = stackName_;
    facts.selectMode = selectMode_;
    facts.keySwitchLow = keySwitchLow_;
    const int count = LayerCount();
    facts.layers.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
        GigaLayerFacts& f = facts.layers.emplace_back();
        f.bankPath = layer.bankPath;
        f.programIndex = layer.programIndex;
        f.state = layer.state;
        f.leaving = layer.leaving;
        // A program is complete once it is in a layer: the loader installs it after the load.
        if (layer.program) f.programName = layer.program->name;
        f.volume = layer.volume;
        f.pan = layer.pan;
        f.tune = layer.tune;
        f.keyLow = layer.keyLow;
        f.keyHigh = layer.keyHigh;
        f.keyOffset = layer.keyOffset;
        f.bendRange = layer.bendRange;
        f.filterSwitch = layer.filterSwitch;
        f.amplifierOffsets = Values(layer.amplifierOffsets);
        f.filterOffsets = Values(layer.filterOffsets);
        f.serial = layer.serial;
        if (layer.program) {
            f.programKeyLow = layer.programKeyLow;
            f.programKeyHigh = layer.programKeyHigh;
            f.sampleCount = layer.sampleCount;
            f.bitDepth = layer.bitDepth;
            f.streams = layer.streams;
            f.dimensions = layer.dimensions;
            f.programBendRange = layer.programBendRange;
            f.amplifierAverages = Values(layer.amplifierAverages);
            f.filterAverages = Values(layer.filterAverages);
            f.hasFilter = layer.hasFilter;
        }
    }
    return facts;
}

void GigaTone::Restore(const GigaToneRecord& record)
{
    ResetDefaults();
    lowestKey_ = 0;
    highestKey_ = 0;
    keySwitchLow_ = 0;
    keySwitchHigh_ = 0;
    SetStackName(record.stackName.value_or(std::string {}));
    if (record.midiChannel) SetMidiChannel(*record.midiChannel);
    if (record.outputBus) {
        const int buses = Player() ? Player()->OutputBusCount() : 1;
        SetOutputBus(*record.outputBus >= 0 && *record.outputBus < buses ? *record.outputBus : 0);
    }
    if (record.params) {
        SetVolume((*record.params)[0]);
        SetPan((*record.params)[1]);
        SetTune((*record.params)[2]);
    }
    if (record.stack) {
        selectMode_ = (*record.stack)[0];
        keySwitchLow_ = (*record.stack)[1];
    }
    for (const GigaLayerFacts& facts : record.layers) {
        auto layer = std::make_unique<GigaPart>(this);
        layer->bankPath = facts.bankPath;
        layer->programIndex = facts.programIndex;
        layer->state = facts.state;
        layer->volume = facts.volume;
        layer->pan = facts.pan;
        layer->tune = facts.tune;
        layer->keyLow = facts.keyLow;
        layer->keyHigh = facts.keyHigh;
        layer->keyOffset = facts.keyOffset;
        layer->bendRange = facts.bendRange;
        layer->filterSwitch = facts.filterSwitch;
        for (std::size_t i = 0; i < facts.amplifierOffsets.size(); ++i)
            layer->amplifierOffsets[i] = facts.amplifierOffsets[i];
        for (std::size_t i = 0; i < facts.filterOffsets.size(); ++i)
            layer->filterOffsets[i] = facts.filterOffsets[i];
        AdoptLayer(std::move(layer));
    }
    if (LayerCount() > 0) SetStatus(kLoadRequested);
}
