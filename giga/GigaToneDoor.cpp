#include "giga/GigaToneDoor.h"

#include <algorithm>
#include <array>

#include "engine/GigaTone.h"
#include "player/KyPlayer.h"

namespace {

// What a performance writes of a layer (GigaPerformance's layer writer), to tell an edit from a
// look.
struct KeptLayer {
    explicit KeptLayer(const GigaPart& layer)
        : bankPath(layer.bankPath),
          programIndex(layer.programIndex),
          removed(layer.state == GigaPart::kToBeRemoved),
          settings {layer.volume,  layer.pan,       layer.tune,      layer.keyLow,
                    layer.keyHigh, layer.keyOffset, layer.bendRange, layer.filterSwitch}
    {
        std::transform(layer.amplifierOffsets.begin(), layer.amplifierOffsets.end(),
                       amplifier.begin(), [](const Relaxed<float>& v) { return v.Get(); });
        std::transform(layer.filterOffsets.begin(), layer.filterOffsets.end(), filter.begin(),
                       [](const Relaxed<float>& v) { return v.Get(); });
    }
    bool operator==(const KeptLayer&) const = default;

    std::string bankPath;
    std::int32_t programIndex;
    bool removed;
    std::array<std::int32_t, 8> settings;
    std::array<float, GigaPart::kAmpValues> amplifier {};
    std::array<float, GigaPart::kFilterValues> filter {};
};

}  // namespace

void GigaToneDoor::Changed() const
{
    tone_.SetModified(true);
    player_.NoteStateChanged();
}

int GigaToneDoor::ToneIndex() const
{
    return tone_.ToneIndex();
}
std::int32_t GigaToneDoor::TypeCode() const
{
    return tone_.TypeCode();
}

int GigaToneDoor::Volume() const
{
    return tone_.Volume();
}
int GigaToneDoor::EffectiveVolume() const
{
    return tone_.EffectiveVolume();
}
void GigaToneDoor::SetEffectiveVolume(int volume)
{
    const bool changed = volume != tone_.Volume() || volume != tone_.EffectiveVolume();
    // The fader is the user's volume: it becomes the CC7 volume that performances keep, so the
    // level set comes back with the project, and a later CC11 scales it rather than a volume
    // the fader left behind. The level is heard as set, whatever the expression is now.
    tone_.SetVolume(volume);
    tone_.SetEffectiveVolume(volume);
    ChangedIf(changed);
}
int GigaToneDoor::Pan() const
{
    return tone_.Pan();
}
void GigaToneDoor::SetPan(int pan)
{
    const bool changed = pan != tone_.Pan();
    tone_.SetPan(pan);
    ChangedIf(changed);
}
int GigaToneDoor::Tune() const
{
    return tone_.Tune();
}
void GigaToneDoor::SetTune(int cents)
{
    const bool changed = cents != tone_.Tune();
    tone_.SetTune(cents);
    ChangedIf(changed);
}
int GigaToneDoor::OutputBus() const
{
    return tone_.OutputBus();
}
void GigaToneDoor::SetOutputBus(int bus)
{
    const bool changed = bus != tone_.OutputBus();
    tone_.SetOutputBus(bus);
    ChangedIf(changed);
}
int GigaToneDoor::Mute(MuteWord which) const
{
    return tone_.Mute(which);
}
void GigaToneDoor::SetMute(MuteWord which, int value)
{
    tone_.SetMute(which, value);
}

int GigaToneDoor::ControllerValue(int slot) const
{
    return tone_.ControllerValue(slot);
}
int GigaToneDoor::ShownValue(int slot) const
{
    return tone_.ShownValue(slot);
}
void GigaToneDoor::SetShownValue(int slot, int value)
{
    tone_.SetShownValue(slot, value);
}

void GigaToneDoor::KeyboardNoteOn(int key, int velocity)
{
    tone_.KeyboardNoteOn(key, velocity);
}
void GigaToneDoor::KeyboardNoteOff(int key)
{
    tone_.KeyboardNoteOff(key);
}

void GigaToneDoor::SetView(KyToneView* view)
{
    tone_.SetView(view);
}
KyToneView* GigaToneDoor::View() const
{
    return tone_.View();
}

GigaPart* GigaToneDoor::AddLayer(const std::string& bankPath, int programIndex)
{
    GigaPart* layer = tone_.AddLayer(bankPath, programIndex);
    ChangedIf(layer != nullptr);
    return layer;
}
void GigaToneDoor::Clear()
{
    const GigaToneFacts before = tone_.Facts();
    const bool changed = std::any_of(before.layers.begin(), before.layers.end(),
                                     [](const GigaLayerFacts& layer) { return !layer.leaving; });
    tone_.Clear();
    ChangedIf(changed);
}
int GigaToneDoor::LayerCount() const
{
    return tone_.LayerCount();
}
int GigaToneDoor::SelectMode() const
{
    return tone_.SelectMode();
}
void GigaToneDoor::SetSelectMode(int mode)
{
    const bool changed = mode != tone_.SelectMode();
    tone_.SetSelectMode(mode);
    ChangedIf(changed);
}

bool GigaToneDoor::EditLayer(int index, const LayerEdit& edit)
{
    bool changed = false;
    const bool found = tone_.EditLayer(index, [&](GigaPart& layer) {
        const KeptLayer before(layer);
        edit(layer);
        changed = !(KeptLayer(layer) == before);
    });
    ChangedIf(changed);
    return found;
}
void GigaToneDoor::EditLayers(const StackEdit& edit)
{
    bool changed = false;
    tone_.EditLayers([&](int index, GigaPart& layer) {
        const KeptLayer before(layer);
        edit(index, layer);
        changed = changed || !(KeptLayer(layer) == before);
    });
    ChangedIf(changed);
}
bool GigaToneDoor::EditLayerBySerial(std::uint32_t serial, const LayerEdit& edit)
{
    bool changed = false;
    const bool found = tone_.EditLayerBySerial(serial, [&](GigaPart& layer) {
        const KeptLayer before(layer);
        edit(layer);
        changed = !(KeptLayer(layer) == before);
    });
    ChangedIf(changed);
    return found;
}
bool GigaToneDoor::ReplaceLayer(std::uint32_t serial, const std::string& bankPath, int programIndex)
{
    const bool replaced = tone_.ReplaceLayer(serial, bankPath, programIndex);
    ChangedIf(replaced);
    return replaced;
}
bool GigaToneDoor::RemoveLayer(std::uint32_t serial)
{
    const bool removed = tone_.RemoveLayer(serial);
    ChangedIf(removed);
    return removed;
}
void GigaToneDoor::SetStackName(const std::string& name)
{
    const bool changed = name != tone_.StackName();
    tone_.SetStackName(name);
    ChangedIf(changed);
}
std::string GigaToneDoor::StackName() const
{
    return tone_.StackName();
}
std::string GigaToneDoor::DisplayName() const
{
    return tone_.DisplayName();
}
GigaToneFacts GigaToneDoor::Facts() const
{
    return tone_.Facts();
}
int GigaToneDoor::KeySwitchLow() const
{
    return tone_.KeySwitchLow();
}
int GigaToneDoor::KeySwitchHigh() const
{
    return tone_.KeySwitchHigh();
}
void GigaToneDoor::SetKeySwitchRange(int low, int high)
{
    const bool changed = low != tone_.KeySwitchLow() || high != tone_.KeySwitchHigh();
    tone_.SetKeySwitchRange(low, high);
    ChangedIf(changed);
}
int GigaToneDoor::LowestKey() const
{
    return tone_.LowestKey();
}
int GigaToneDoor::HighestKey() const
{
    return tone_.HighestKey();
}
int GigaToneDoor::Status() const
{
    return tone_.Status();
}
void GigaToneDoor::SetStatus(int status)
{
    tone_.SetStatus(status);
}
