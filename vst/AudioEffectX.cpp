#include "vst/AudioEffectX.h"

AudioEffectX::AudioEffectX(audioMasterCallback host, vst::int32 numPrograms, vst::int32 numParams)
    : AudioEffect(host, numPrograms, numParams)
{
}

vst::intptr AudioEffectX::dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                     void* ptr, float opt)
{
    using namespace vst;
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effProcessEvents:
            return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
        case effCanBeAutomated:
            return canParameterBeAutomated(index) ? 1 : 0;
        case effGetInputProperties:
            return ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory:
            return getPlugCategory();
        case effGetEffectName:
            return text && getEffectName(text) ? 1 : 0;
        case effGetVendorString:
            return text && getVendorString(text) ? 1 : 0;
        case effGetProductString:
            return text && getProductString(text) ? 1 : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effCanDo:
            return canDo(text ? text : "");
        case effGetTailSize:
            return getTailSize();
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            AEffEditor* editor = getEditor();
            if (!editor) return 0;
            VstKeyCode key {index, static_cast<unsigned char>(value),
                            static_cast<unsigned char>(opt)};
            return (opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key)) ? 1
                                                                                              : 0;
        }
        case effSetEditKnobMode: {
            AEffEditor* editor = getEditor();
            return editor && editor->setKnobMode(static_cast<int32>(value)) ? 1 : 0;
        }
        case effGetCurrentMidiProgram:
            return getCurrentMidiProgram();
        case effGetSpeakerArrangement:
            return getSpeakerArrangement(reinterpret_cast<void**>(value), static_cast<void**>(ptr))
                       ? 1
                       : 0;
        case effSetTotalSampleToProcess:
            return value;
        default:
            return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume()
{
    if (effect_.flags & vst::effFlagsIsSynth) wantEvents();
}

vst::int32 AudioEffectX::getPlugCategory()
{
    return (effect_.flags & vst::effFlagsIsSynth) ? vst::kPlugCategSynth : vst::kPlugCategUnknown;
}

bool AudioEffectX::getSpeakerArrangement(void** input, void** output)
{
    if (input) *input = nullptr;
    if (output) *output = nullptr;
    return false;
}

void AudioEffectX::wantEvents(vst::int32 filter)
{
    hostCall(vst::audioMasterWantMidi, 0, filter);
}
