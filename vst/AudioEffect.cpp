#include "vst/AudioEffect.h"

namespace {

AudioEffect* ObjectOf(AEffect* effect)
{
    return effect ? static_cast<AudioEffect*>(effect->object) : nullptr;
}

void ProcessReplacingFromHost(AEffect* effect, float** inputs, float** outputs, vst::int32 frames)
{
    if (AudioEffect* object = ObjectOf(effect)) object->processReplacing(inputs, outputs, frames);
}

void ProcessDoubleFromHost(AEffect* effect, double** inputs, double** outputs, vst::int32 frames)
{
    if (AudioEffect* object = ObjectOf(effect))
        object->processDoubleReplacing(inputs, outputs, frames);
}

// The deprecated accumulating call does nothing: hosts that use it get no sound.
void ProcessFromHost(AEffect*, float**, float**, vst::int32) {}

void SetParameterFromHost(AEffect* effect, vst::int32 index, float value)
{
    if (AudioEffect* object = ObjectOf(effect)) object->setParameter(index, value);
}

float GetParameterFromHost(AEffect* effect, vst::int32 index)
{
    AudioEffect* object = ObjectOf(effect);
    return object ? object->getParameter(index) : 0.0f;
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback host, vst::int32 numPrograms, vst::int32 numParams)
    : host_(host), numPrograms_(numPrograms), numParams_(numParams)
{
    effect_.magic = vst::kEffectMagic;
    effect_.dispatcher = &AudioEffect::DispatchFromHost;
    effect_.process = &ProcessFromHost;
    effect_.setParameter = &SetParameterFromHost;
    effect_.getParameter = &GetParameterFromHost;
    effect_.numPrograms = numPrograms;
    effect_.numParams = numParams;
    effect_.numInputs = 1;
    effect_.numOutputs = 2;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.version = 1;
    effect_.processReplacing = &ProcessReplacingFromHost;
    effect_.processDoubleReplacing = &ProcessDoubleFromHost;
}

AudioEffect::~AudioEffect() = default;  // the editor goes last, with the members

vst::intptr AudioEffect::DispatchFromHost(AEffect* effect, vst::int32 opcode, vst::int32 index,
                                          vst::intptr value, void* ptr, float opt)
{
    AudioEffect* object = ObjectOf(effect);
    if (!object) return 0;
    const vst::intptr result = object->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == vst::effClose) {
        delete object;
        return 1;
    }
    return result;
}

vst::intptr AudioEffect::dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                    void* ptr, float opt)
{
    using namespace vst;
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 0;
        case effSetProgram:
            if (value >= 0 && value < numPrograms_) setProgram(static_cast<int32>(value));
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            if (text) setProgramName(text);
            return 0;
        case effGetProgramName:
            if (text) getProgramName(text);
            return 0;
        case effGetParamLabel:
            if (text) getParameterLabel(index, text);
            return 0;
        case effGetParamDisplay:
            if (text) getParameterDisplay(index, text);
            return 0;
        case effGetParamName:
            if (text) getParameterName(index, text);
            return 0;
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(static_cast<int32>(value));
            return 0;
        case effMainsChanged:
            if (value)
                resume();
            else
                suspend();
            return 0;
        case effEditGetRect:
            if (editor_ && ptr && editor_->getRect(static_cast<ERect**>(ptr))) return 1;
            return 0;
        case effEditOpen:
            if (editor_ && editor_->open(ptr)) return 1;
            return 0;
        case effEditClose:
            if (editor_) editor_->close();
            return 0;
        case effEditIdle:
            if (editor_) editor_->idle();
            return 0;
        case effIdentify:
            return FourCC("NvEf");
        case effGetChunk:
            return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk:
            if (!ptr && value != 0) return 0;
            if (value < 0 || value > INT32_MAX) return 0;
            return setChunk(ptr, static_cast<int32>(value), index != 0);
        default:
            return 0;
    }
}

void AudioEffect::setEditor(std::unique_ptr<AEffEditor> editor)
{
    editor_ = std::move(editor);
    SetFlag(vst::effFlagsHasEditor, editor_ != nullptr);
}

vst::intptr AudioEffect::hostCall(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                  float opt)
{
    return host_ ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

vst::int32 AudioEffect::getMasterVersion()
{
    const vst::intptr version = hostCall(vst::audioMasterVersion);
    return version ? static_cast<vst::int32>(version) : 1;
}

void AudioEffect::SetFlag(vst::int32 flag, bool state)
{
    if (state)
        effect_.flags |= flag;
    else
        effect_.flags &= ~flag;
}
