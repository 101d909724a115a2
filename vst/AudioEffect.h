// The base of the interface layer: owns the AEffect record that the host sees, turns the host's
// numbered requests into virtual calls, and wraps the calls back into the host. Defaults follow
// the interface's published behaviour; a plug-in overrides what it answers differently.
#pragma once

#include <memory>

#include "vst/AEffEditor.h"
#include "vst/VstAbi.h"

class AudioEffect {
public:
    AudioEffect(audioMasterCallback host, vst::int32 numPrograms, vst::int32 numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &effect_; }
    // The record's dispatcher: effClose also destroys the object behind the record.
    static vst::intptr DispatchFromHost(AEffect* effect, vst::int32 opcode, vst::int32 index,
                                        vst::intptr value, void* ptr, float opt);

    virtual vst::intptr dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                   void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void setProgram(vst::int32 program) { curProgram_ = program; }
    virtual vst::int32 getProgram() { return curProgram_; }
    virtual void setProgramName(char* name) {}
    virtual void getProgramName(char* name) { *name = 0; }
    virtual void getParameterLabel(vst::int32 index, char* label) { *label = 0; }
    virtual void getParameterDisplay(vst::int32 index, char* text) { *text = 0; }
    virtual void getParameterName(vst::int32 index, char* text) { *text = 0; }
    virtual void setParameter(vst::int32 index, float value) {}
    virtual float getParameter(vst::int32 index) { return 0.0f; }
    virtual bool canParameterBeAutomated(vst::int32 index) { return true; }
    virtual void setSampleRate(float rate) { sampleRate_ = rate; }
    virtual void setBlockSize(vst::int32 frames) { blockSize_ = frames; }
    virtual void suspend() {}
    virtual void resume() {}
    virtual vst::int32 getChunk(void** data, bool isPreset) { return 0; }
    virtual vst::int32 setChunk(void* data, vst::int32 byteSize, bool isPreset) { return 0; }
    virtual void processReplacing(float** inputs, float** outputs, vst::int32 frames) {}
    virtual void processDoubleReplacing(double** inputs, double** outputs, vst::int32 frames) {}

    // Takes the editor (null detaches and destroys the previous one) and sets the has-editor
    // flag accordingly.
    virtual void setEditor(std::unique_ptr<AEffEditor> editor);
    AEffEditor* getEditor() const { return editor_.get(); }

    float getSampleRate() const { return sampleRate_; }
    vst::int32 getBlockSize() const { return blockSize_; }

    void setUniqueID(vst::int32 id) { effect_.uniqueID = id; }
    void setNumInputs(vst::int32 inputs) { effect_.numInputs = inputs; }
    void setNumOutputs(vst::int32 outputs) { effect_.numOutputs = outputs; }
    void canProcessReplacing(bool state = true) { SetFlag(vst::effFlagsCanReplacing, state); }
    void programsAreChunks(bool state = true) { SetFlag(vst::effFlagsProgramChunks, state); }
    void setInitialDelay(vst::int32 frames) { effect_.initialDelay = frames; }

    // Calls into the host; 0 when there is no host callback.
    vst::intptr hostCall(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
    vst::int32 getMasterVersion();

protected:
    void SetFlag(vst::int32 flag, bool state);

    audioMasterCallback host_;
    float sampleRate_ = 44100.0f;
    vst::int32 blockSize_ = 1024;
    vst::int32 numPrograms_;
    vst::int32 numParams_;
    vst::int32 curProgram_ = 0;
    AEffect effect_ {};

private:
    std::unique_ptr<AEffEditor> editor_;
};
