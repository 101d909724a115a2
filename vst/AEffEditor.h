// The editor side of the interface layer with the interface's default behaviour: an editor
// that has no window and takes no keys. A real editor overrides what it handles.
#pragma once

#include "vst/VstAbi.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect = nullptr) : effect_(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect_; }
    virtual bool getRect(ERect** rect)
    {
        if (rect) *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow)
    {
        systemWindow_ = parentWindow;
        return false;
    }
    virtual void close() { systemWindow_ = nullptr; }
    virtual bool isOpen() { return systemWindow_ != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& key) { return false; }
    virtual bool onKeyUp(VstKeyCode& key) { return false; }
    virtual bool onWheel(float distance) { return false; }
    virtual bool setKnobMode(vst::int32 mode) { return false; }

protected:
    AudioEffect* effect_ = nullptr;
    void* systemWindow_ = nullptr;
};
