// The editor's door to a tone: the stack edits that hold the stack lock, and the generic tone's
// mix, mute words, controllers, keyboard and view, passed on.
#include <mutex>

#include "engine/GigaTone.h"

bool GigaTone::EditLayer(int index, const LayerEdit& edit)
{
    std::lock_guard lock(stackMutex_);
    GigaPart* layer = Layer(index);
    if (!layer) return false;
    edit(*layer);
    return true;
}

void GigaTone::EditLayers(const StackEdit& edit)
{
    std::lock_guard lock(stackMutex_);
    for (int i = 0; i < LayerCount(); ++i) edit(i, *Layer(i));
}

bool GigaTone::EditLayerBySerial(std::uint32_t serial, const LayerEdit& edit)
{
    std::lock_guard lock(stackMutex_);
    GigaPart* layer = FindLayer(serial);
    if (!layer) return false;
    edit(*layer);
    return true;
}

int GigaTone::ToneIndex() const
{
    return KyTone::ToneIndex();
}
std::int32_t GigaTone::TypeCode() const
{
    return KyTone::TypeCode();
}
int GigaTone::Volume() const
{
    return KyTone::Volume();
}
int GigaTone::EffectiveVolume() const
{
    return KyTone::EffectiveVolume();
}
void GigaTone::SetEffectiveVolume(int volume)
{
    // The fader is the user's volume: it becomes the CC7 volume that performances keep, so the
    // level set comes back with the project, and a later CC11 scales it rather than a volume
    // the fader left behind. The level is heard as set, whatever the expression is now.
    KyTone::SetVolume(volume);
    KyTone::SetEffectiveVolume(volume);
}
int GigaTone::Pan() const
{
    return KyTone::Pan();
}
void GigaTone::SetPan(int pan)
{
    KyTone::SetPan(pan);
}
int GigaTone::Tune() const
{
    return KyTone::Tune();
}
void GigaTone::SetTune(int cents)
{
    KyTone::SetTune(cents);
}
int GigaTone::OutputBus() const
{
    return KyTone::OutputBus();
}
void GigaTone::SetOutputBus(int bus)
{
    KyTone::SetOutputBus(bus);
}
int GigaTone::Mute(MuteWord which) const
{
    return KyTone::Mute(which);
}
void GigaTone::SetMute(MuteWord which, int value)
{
    KyTone::SetMute(which, value);
}
int GigaTone::ControllerValue(int slot) const
{
    return KyTone::ControllerValue(slot);
}
int GigaTone::ShownValue(int slot) const
{
    return KyTone::ShownValue(slot);
}
void GigaTone::SetShownValue(int slot, int value)
{
    KyTone::SetShownValue(slot, value);
}
void GigaTone::KeyboardNoteOn(int key, int velocity)
{
    KyTone::KeyboardNoteOn(key, velocity);
}
void GigaTone::KeyboardNoteOff(int key)
{
    KyTone::KeyboardNoteOff(key);
}
void GigaTone::SetView(KyToneView* view)
{
    KyTone::SetView(view);
}
KyToneView* GigaTone::View() const
{
    return KyTone::View();
}
