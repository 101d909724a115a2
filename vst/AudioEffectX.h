// The version 2 layer of the interface: events, pins, identity texts, capabilities.
#pragma once

#include "vst/AudioEffect.h"

class AudioEffectX : public AudioEffect {
public:
    static constexpr vst::int32 kVstVersion = 2400;
    static constexpr vst::int32 kIdentifyAnswer = 0x4E764566;  // 'NvEf'

    AudioEffectX(audioMasterCallback host, vst::int32 numPrograms, vst::int32 numParams);

    vst::intptr dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                           float opt) override;

    void resume() override;

    virtual vst::int32 processEvents(VstEvents* events) { return 0; }
    virtual bool getInputProperties(vst::int32 index, VstPinProperties* properties)
    {
        return false;
    }
    virtual bool getOutputProperties(vst::int32 index, VstPinProperties* properties)
    {
        return false;
    }
    virtual vst::int32 getPlugCategory();
    virtual bool getEffectName(char* name) { return false; }
    virtual bool getVendorString(char* text) { return false; }
    virtual bool getProductString(char* text) { return false; }
    virtual vst::int32 getVendorVersion() { return 0; }
    virtual vst::int32 canDo(const char* text) { return 0; }
    virtual vst::int32 getVstVersion() { return kVstVersion; }
    virtual vst::int32 getTailSize() { return 0; }
    virtual vst::int32 getCurrentMidiProgram() { return -1; }
    virtual bool getSpeakerArrangement(void** input, void** output);

    void isSynth(bool state = true) { SetFlag(vst::effFlagsIsSynth, state); }
    // Asks the host to send MIDI.
    void wantEvents(vst::int32 filter = 1);
};
