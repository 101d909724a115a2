// What the editor may do with a tone that plays .gig programs, and all it may know of one: the
// tone's mix, mute words and controllers as shown, the on-screen keyboard, its view, and its
// stack (layers, select mode, key switches, status). GigaToneDoor implements it over a GigaTone;
// the editor holds nothing else of a tone, so a view can be driven by a small stand-in.
//
// Threads: the GUI thread calls these while the audio and loading threads run. Layer edits go
// through EditLayer and its kin, which hold the stack's lock and never wait for a load.
#pragma once

#include <cstdint>
#include <string>

#include "engine/GigaPart.h"
#include "engine/GigaToneFacts.h"
#include "engine/GigaToneWords.h"
#include "engine/KyToneView.h"

class GigaToneEdit : public GigaToneWords {
public:
    virtual ~GigaToneEdit() = default;

    // Who the tone is.
    virtual int ToneIndex() const = 0;
    virtual std::int32_t TypeCode() const = 0;

    // The mix. The fader sets the level heard and the CC7 volume a performance stores.
    virtual int Volume() const = 0;
    virtual int EffectiveVolume() const = 0;
    virtual void SetEffectiveVolume(int volume) = 0;
    virtual int Pan() const = 0;
    virtual void SetPan(int pan) = 0;
    virtual int Tune() const = 0;
    virtual void SetTune(int cents) = 0;
    virtual int OutputBus() const = 0;
    virtual void SetOutputBus(int bus) = 0;
    virtual int Mute(MuteWord which) const = 0;
    virtual void SetMute(MuteWord which, int value) = 0;

    // The controller table, and the value the view showed last (the view's thread only).
    virtual int ControllerValue(int slot) const = 0;
    virtual int ShownValue(int slot) const = 0;
    virtual void SetShownValue(int slot, int value) = 0;

    // The on-screen keyboard.
    virtual void KeyboardNoteOn(int key, int velocity) = 0;
    virtual void KeyboardNoteOff(int key) = 0;

    // The view that hears the tone's notifications; setting another returns once no
    // notification to the earlier one is under way.
    virtual void SetView(KyToneView* view) = 0;
    virtual KyToneView* View() const = 0;

    // The stack. Cleared and removed layers stay (leaving) until the loader takes them out.
    virtual GigaPart* AddLayer(const std::string& bankPath, int programIndex) = 0;
    virtual void Clear() = 0;
    virtual int LayerCount() const = 0;
    virtual int SelectMode() const = 0;
    virtual void SetSelectMode(int mode) = 0;
    // `edit` runs under the stack lock: for layer `index` (false when there is none), for every
    // layer in order, or for the layer with this serial wherever the loader moved it (false
    // when it left the stack; the edit must not touch its program or bank).
    virtual bool EditLayer(int index, const LayerEdit& edit) = 0;
    virtual void EditLayers(const StackEdit& edit) = 0;
    virtual bool EditLayerBySerial(std::uint32_t serial, const LayerEdit& edit) = 0;
    // The layer plays another program, its key range and offset afresh, and asks for loading.
    virtual bool ReplaceLayer(std::uint32_t serial, const std::string& bankPath,
                              int programIndex) = 0;
    // The layer leaves the stack at the next load pass.
    virtual bool RemoveLayer(std::uint32_t serial) = 0;
    virtual void SetStackName(const std::string& name) = 0;
    virtual std::string StackName() const = 0;
    virtual std::string DisplayName() const = 0;
    // The stack as it stands, never waiting for a load.
    virtual GigaToneFacts Facts() const = 0;
    virtual int KeySwitchLow() const = 0;
    virtual int KeySwitchHigh() const = 0;
    // Both ends at once, so a load pass never mixes old and new ends.
    virtual void SetKeySwitchRange(int low, int high) = 0;
    // The keys the loaded stack plays.
    virtual int LowestKey() const = 0;
    virtual int HighestKey() const = 0;
    virtual int Status() const = 0;
    virtual void SetStatus(int status) = 0;
};
