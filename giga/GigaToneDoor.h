// The editor's door to one tone: passes every call on to the tone and, when a call changes what
// a performance keeps of it (the mix, the stack, a layer's settings, file or program), marks the
// tone modified and counts a change of the host's state on the player. The player reads
// performances and host states past this door, straight into its tones, so only the user's
// edits count as changes.
#pragma once

#include <cstdint>
#include <string>

#include "engine/GigaToneEdit.h"

class GigaTone;
class KyPlayer;

class GigaToneDoor : public GigaToneEdit {
public:
    GigaToneDoor(GigaTone& tone, KyPlayer& player) : tone_(tone), player_(player) {}

    GigaTone& Tone() const { return tone_; }

    int ToneIndex() const override;
    std::int32_t TypeCode() const override;

    int Volume() const override;
    int EffectiveVolume() const override;
    void SetEffectiveVolume(int volume) override;
    int Pan() const override;
    void SetPan(int pan) override;
    int Tune() const override;
    void SetTune(int cents) override;
    int OutputBus() const override;
    void SetOutputBus(int bus) override;
    // Mute and solo are the session's, not the performance's: no change of state.
    int Mute(MuteWord which) const override;
    void SetMute(MuteWord which, int value) override;

    int ControllerValue(int slot) const override;
    int ShownValue(int slot) const override;
    void SetShownValue(int slot, int value) override;

    void KeyboardNoteOn(int key, int velocity) override;
    void KeyboardNoteOff(int key) override;

    void SetView(KyToneView* view) override;
    KyToneView* View() const override;

    GigaPart* AddLayer(const std::string& bankPath, int programIndex) override;
    void Clear() override;
    int LayerCount() const override;
    int SelectMode() const override;
    void SetSelectMode(int mode) override;
    // A layer edit counts when it changed what the performance writes of the layer; reading
    // through these changes nothing.
    bool EditLayer(int index, const LayerEdit& edit) override;
    void EditLayers(const StackEdit& edit) override;
    bool EditLayerBySerial(std::uint32_t serial, const LayerEdit& edit) override;
    bool ReplaceLayer(std::uint32_t serial, const std::string& bankPath, int programIndex) override;
    bool RemoveLayer(std::uint32_t serial) override;
    void SetStackName(const std::string& name) override;
    std::string StackName() const override;
    std::string DisplayName() const override;
    GigaToneFacts Facts() const override;
    int KeySwitchLow() const override;
    int KeySwitchHigh() const override;
    void SetKeySwitchRange(int low, int high) override;
    int LowestKey() const override;
    int HighestKey() const override;
    int Status() const override;
    void SetStatus(int status) override;

private:
    // The tone now differs from the performance it came from, and from the host's state.
    void Changed() const;
    void ChangedIf(bool changed) const
    {
        if (changed) Changed();
    }

    GigaTone& tone_;
    KyPlayer& player_;
};
