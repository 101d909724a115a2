#include "engine/GigaTone.h"

#include <algorithm>

#include "engine/GigaZoneWalk.h"
#include "gig/GigaProgram.h"
#include "gig/GigaRegion.h"
#include "gig/GigaSample.h"
#include "player/KyPlayer.h"

GigaTone::GigaTone(int toneIndex, int midiChannel, float* scratch)
    : KyTone(toneIndex, midiChannel), scratch_(scratch)
{
    typeCode_ = kTypeCode;
    for (int controller : {kVolumeController, kPanController, kExpressionController})
        WatchController(controller);
}

GigaTone::~GigaTone()
{
    EndVoicesNow();
    ReleaseLayers();
}

GigaPart* GigaTone::Layer(int index) const
{
    return index >= 0 && index < LayerCount() ? layers_[static_cast<std::size_t>(index)].get()
                                              : nullptr;
}

GigaPart* GigaTone::AddLayer(const std::string& bankPath, int programIndex)
{
    auto layer = std::make_unique<GigaPart>(this);
    layer->bankPath = bankPath;
    layer->programIndex = programIndex;
    layer->state = GigaPart::kLoadRequested;
    return AdoptLayer(std::move(layer));
}

GigaPart* GigaTone::AdoptLayer(std::unique_ptr<GigaPart> layer)
{
    // The loader moves layers in short steps under the same lock.
    GigaPart* added = layer.get();
    bool changed = false;
    {
        std::lock_guard lock(stackMutex_);
        const int count = LayerCount();
        int staying = 0;
        for (int i = 0; i < count; ++i)
            if (!layers_[static_cast<std::size_t>(i)]->leaving) ++staying;
        if (staying >= kMaxLayers || count >= kLayerSlots) {
            Log("*** GigaTone::AddLayer(%s) but the stack is full ***\r\n",
                layer->bankPath.c_str());
            return nullptr;
        }
        layers_[static_cast<std::size_t>(count)] = std::move(layer);
        // Published after the layer is complete: the audio thread reads the count first.
        layerCount_.store(count + 1, std::memory_order_release);
        // With the layer, so that a loader finishing its pass here cannot mark it loaded.
        changed = ExchangeStatus(kLoadRequested);
    }
    if (changed) Notify(KyToneView::kStatusChanged, kLoadRequested);
    return added;
}

void GigaTone::Clear()
{
    bool changed = false;
    {
        std::lock_guard lock(stackMutex_);
        const int count = LayerCount();
        for (int i = 0; i < count; ++i) {
            GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
            layer.programIndex = -1;
            layer.state = GigaPart::kLoadRequested;
            layer.leaving = true;
            // The loader lets go of what it is loading for this layer.
            if (&layer == loadingLayer_) loadCancelled_.store(true, std::memory_order_relaxed);
        }
        stackName_.clear();
        if (count > 0) changed = ExchangeStatus(kLoadRequested);
    }
    if (changed) Notify(KyToneView::kStatusChanged, kLoadRequested);
}

GigaPart* GigaTone::FindLayer(std::uint32_t serial) const
{
    for (int i = 0; i < LayerCount(); ++i) {
        GigaPart* layer = layers_[static_cast<std::size_t>(i)].get();
        if (layer->serial == serial && !layer->leaving) return layer;
    }
    return nullptr;
}

bool GigaTone::RequestLayerLoad(GigaPart& layer)
{
    layer.state = GigaPart::kLoadRequested;
    if (&layer == loadingLayer_) loadCancelled_.store(true, std::memory_order_relaxed);
    return ExchangeStatus(kLoadRequested);
}

bool GigaTone::ReplaceLayer(std::uint32_t serial, const std::string& bankPath, int programIndex)
{
    bool changed = false;
    {
        std::lock_guard lock(stackMutex_);
        GigaPart* layer = FindLayer(serial);
        if (!layer) return false;
        layer->bankPath = bankPath;
        layer->programIndex = programIndex;
        layer->keyLow = 0;
        layer->keyHigh = 0;
        layer->keyOffset = 0;
        changed = RequestLayerLoad(*layer);
    }
    if (changed) Notify(KyToneView::kStatusChanged, kLoadRequested);
    return true;
}

bool GigaTone::RemoveLayer(std::uint32_t serial)
{
    bool changed = false;
    {
        std::lock_guard lock(stackMutex_);
        GigaPart* layer = FindLayer(serial);
        if (!layer) return false;
        layer->programIndex = -1;
        layer->leaving = true;
        changed = RequestLayerLoad(*layer);
    }
    if (changed) Notify(KyToneView::kStatusChanged, kLoadRequested);
    return true;
}

void GigaTone::SetSelectMode(int mode)
{
    std::lock_guard lock(stackMutex_);
    selectMode_ = mode;
    const int count = LayerCount();
    selected_.store(count > 0 && (count == 1 || mode > 0) ? layers_[0].get() : nullptr,
                    std::memory_order_relaxed);
    if (mode != kSelectKeySwitch) {
        keySwitchLow_ = 0;
        keySwitchHigh_ = 0;
    }
}

void GigaTone::SetKeySwitchRange(int low, int high)
{
    std::lock_guard lock(stackMutex_);
    keySwitchLow_ = low;
    keySwitchHigh_ = high;
}

void GigaTone::SetStackName(const std::string& name)
{
    std::lock_guard lock(stackMutex_);
    stackName_ = name;
}

std::string GigaTone::StackName() const
{
    std::lock_guard lock(stackMutex_);
    return stackName_;
}

std::string GigaTone::DisplayName() const
{
    std::lock_guard lock(stackMutex_);
    const int count = LayerCount();
    if (count == 0) return "No instrument";
    if (count > 1) return stackName_.empty() ? "Stacked Instrument" : stackName_;
    const GigaPart& layer = *layers_[0];
    if (layer.program && layer.program->Loaded()) return layer.program->name;
    const std::size_t slash = layer.bankPath.find_last_of("/\\");
    return slash == std::string::npos ? layer.bankPath : layer.bankPath.substr(slash + 1);
}

int GigaTone::StackLowestKey() const
{
    std::lock_guard lock(stackMutex_);
    int lowest = 127;
    for (int i = 0; i < LayerCount(); ++i) {
        const GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
        lowest = std::min<int>(lowest, layer.keyLow + layer.keyOffset);
    }
    return lowest;
}

int GigaTone::StackHighestKey() const
{
    std::lock_guard lock(stackMutex_);
    int highest = 0;
    for (int i = 0; i < LayerCount(); ++i) {
        const GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
        highest = std::max<int>(highest, layer.keyHigh + layer.keyOffset);
    }
    return highest;
}

void GigaTone::SetStatus(int status)
{
    if (ExchangeStatus(status)) Notify(KyToneView::kStatusChanged, status);
}

bool GigaTone::ExchangeStatus(int status)
{
    return status_.exchange(status, std::memory_order_relaxed) != status;
}

void GigaTone::LoadProgress(int done, int total)
{
    if (total <= 0) return;
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / total);
    if (loadPercent_.exchange(percent, std::memory_order_relaxed) != percent)
        Notify(KyToneView::kLoadPercent, percent);
}

void GigaTone::Select(int layer)
{
    if (layer >= 0 && layer < LayerCount())
        selected_.store(layers_[static_cast<std::size_t>(layer)].get(), std::memory_order_relaxed);
}

void GigaTone::OnNoteOnEvent(int key, int velocity, int offset)
{
    const int mode = selectMode_;
    const int count = LayerCount();
    if (mode > 128 && count > 0) {
        if (mode == kSelectKeySwitch) {
            if (key >= keySwitchLow_ && key <= keySwitchHigh_) Select(key - keySwitchLow_);
        } else if (mode == kSelectRandom) {
            random_ ^= random_ << 13;
            random_ ^= random_ >> 17;
            random_ ^= random_ << 5;
            Select(static_cast<int>(random_ % static_cast<std::uint32_t>(count)));
        } else if (mode == kSelectVelocity) {
            Select(std::min(velocity / (128 / count), count - 1));
        }
    }
    if (GigaPart* selected = SelectedLayer()) {
        LayerNoteOn(*selected, key, velocity, offset);
        return;
    }
    for (int i = 0; i < count; ++i)
        LayerNoteOn(*layers_[static_cast<std::size_t>(i)], key, velocity, offset);
}

void GigaTone::OnNoteOffEvent(int key, int velocity, int offset)
{
    ToneNoteOff(key, offset);
}

void GigaTone::OnProgramChangeEvent(int program)
{
    const int count = LayerCount();
    if (count >= 2 && selectMode_ == kSelectProgramChange && program >= 0 && program < count)
        Select(program);
}

void GigaTone::OnOtherController(int controller, int value)
{
    const int count = LayerCount();
    if (count >= 2 && controller == selectMode_) Select(value * count / 128);
}

void GigaTone::LayerNoteOn(GigaPart& layer, int playedKey, int velocity, int offset)
{
    GigaProgram* program = layer.program;
    if (layer.IsMuted() || !program || !program->Loaded()) return;
    const int key = playedKey - layer.keyOffset;

    // A key-switch key switches even outside the layer's key range.
    const int low = program->dimensionKeyLow;
    const int high = program->dimensionKeyHigh;
    if (key >= low && key <= high) {
        const float width = 128.0f / static_cast<float>(high - low + 1);
        SetController(KyControllerSources::kKeySwitch,
                      static_cast<int>(width * static_cast<float>(key - low)));
    }
    if (key < layer.keyLow || key > layer.keyHigh) return;
    GigaRegion* region = program->RegionForKey(key);
    if (!region) return;

    if (region->selfMask && !Sustain()) {
        for (KyVoice* voice = Voices().Head(); voice; voice = KyVoiceList::Next(voice))
            if (voice->Key() == key && voice->Region() && voice->Layer() == &layer)
                voice->Kill(offset);
    }
    GigaZoneWalk(*this, GigaZoneWalk::Moment::kNoteOn, velocity, random_)
        .Run(*region,
             [&](GigaZone* zone) { StartZone(layer, region, zone, key, velocity, offset); });
}

void GigaTone::StartZone(GigaPart& layer, GigaRegion* region, GigaZone* zone, int key, int velocity,
                         int offset)
{
    if (!zone->sample) return;
    if (KyVoice* voice = StartVoice(key, velocity, offset, zone, &layer)) {
        voice->SetRegion(region);
        voice->SetKeyOffset(layer.keyOffset);
    }
}

void GigaTone::ToneNoteOff(int playedKey, int offset)
{
    const GigaRegion* lastRegion = nullptr;
    for (KyVoice* voice = Voices().Head(); voice; voice = KyVoiceList::Next(voice)) {
        // Release voices have no region: note-offs leave them to play to their end.
        GigaRegion* region = voice->Region();
        if (!region || voice->Key() != playedKey - voice->KeyOffset()) continue;
        if (region->hasReleaseTrigger && !Sustain() && region != lastRegion) {
            StartReleaseVoices(*region, *voice, offset);
            lastRegion = region;
        }
        voice->RequestRelease(offset);
    }
}

void GigaTone::StartReleaseVoices(GigaRegion& region, const KyVoice& released, int offset)
{
    const float seconds = static_cast<float>(released.FramesPlayed()) / KyPlayer::SampleRate();
    GigaPart* layer = released.Layer();
    GigaZoneWalk(*this, GigaZoneWalk::Moment::kRelease, released.Velocity(), random_)
        .Run(region, [&](GigaZone* zone) {
            if (!zone->sample) return;
            const float gain =
                1.0f - static_cast<float>(9 - zone->releaseTriggerDecay) * seconds * 0.125f;
            if (gain <= 0.1f) return;
            if (KyVoice* voice =
                    StartVoice(released.Key(), released.Velocity(), offset, zone, layer))
                voice->ScaleVelocityGain(gain);
        });
}
