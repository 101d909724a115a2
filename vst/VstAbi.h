// Layout-compatible definitions of the VST 2.4 binary interface: the records, opcodes and
// constants that a host and a plug-in exchange. Written from the published binary facts; the
// records use the platform's natural C alignment, which is what hosts are compiled with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/FourCC.h"

namespace vst {

using int16 = std::int16_t;
using int32 = std::int32_t;
using intptr = std::intptr_t;

constexpr int32 kEffectMagic = ::FourCC("VstP");

}  // namespace vst

struct AEffect;

using audioMasterCallback = vst::intptr (*)(AEffect* effect, vst::int32 opcode, vst::int32 index,
                                            vst::intptr value, void* ptr, float opt);
using AEffectDispatcherProc = vst::intptr (*)(AEffect* effect, vst::int32 opcode, vst::int32 index,
                                              vst::intptr value, void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    vst::int32 frames);
using AEffectProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                          vst::int32 frames);
using AEffectSetParameterProc = void (*)(AEffect* effect, vst::int32 index, float value);
using AEffectGetParameterProc = float (*)(AEffect* effect, vst::int32 index);

struct AEffect {
    vst::int32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;  // deprecated accumulating call
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    vst::int32 numPrograms;
    vst::int32 numParams;
    vst::int32 numInputs;
    vst::int32 numOutputs;
    vst::int32 flags;
    vst::intptr resvd1;
    vst::intptr resvd2;
    vst::int32 initialDelay;
    vst::int32 realQualities;
    vst::int32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    vst::int32 uniqueID;
    vst::int32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

struct VstEvent {
    vst::int32 type;
    vst::int32 byteSize;
    vst::int32 deltaFrames;
    vst::int32 flags;
    char data[16];
};

struct VstEvents {
    vst::int32 numEvents;
    vst::intptr reserved;
    VstEvent* events[2];  // really numEvents entries
};

struct VstMidiEvent {
    vst::int32 type;
    vst::int32 byteSize;
    vst::int32 deltaFrames;
    vst::int32 flags;
    vst::int32 noteLength;
    vst::int32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct ERect {
    vst::int16 top;
    vst::int16 left;
    vst::int16 bottom;
    vst::int16 right;
};

struct VstKeyCode {
    vst::int32 character;
    unsigned char virt;
    unsigned char modifier;
};

struct VstPinProperties {
    char label[64];
    vst::int32 flags;
    vst::int32 arrangementType;
    char shortLabel[8];
    char future[48];
};

namespace vst {

// AEffect::flags
enum EffectFlags : int32 {
    effFlagsHasEditor = 1 << 0,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Event types
enum EventTypes : int32 {
    kVstMidiType = 1,
    kVstSysExType = 6,
};

// VstPinProperties::flags and arrangement
enum PinFlags : int32 {
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4,
};
constexpr int32 kSpeakerArrStereo = 1;

// String limits, terminator included.
constexpr std::size_t kVstMaxEffectNameLen = 32;
constexpr std::size_t kVstMaxVendorStrLen = 64;
constexpr std::size_t kVstMaxProductStrLen = 64;
constexpr std::size_t kVstMaxParamStrLen = 8;
constexpr std::size_t kVstMaxProgNameLen = 24;
constexpr std::size_t kVstMaxLabelLen = 64;
constexpr std::size_t kVstMaxShortLabelLen = 8;

// Plug categories
enum PlugCategory : int32 {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

// Host to plug-in
enum DispatcherOpcodes : int32 {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

// Plug-in to host
enum HostOpcodes : int32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

// Editor key codes (VstKeyCode::virt) and modifier bits
enum VirtualKeys : unsigned char {
    VKEY_BACK = 1,
    VKEY_TAB = 2,
    VKEY_CLEAR = 3,
    VKEY_RETURN = 4,
    VKEY_PAUSE = 5,
    VKEY_ESCAPE = 6,
    VKEY_SPACE = 7,
    VKEY_NEXT = 8,
    VKEY_END = 9,
    VKEY_HOME = 10,
    VKEY_LEFT = 11,
    VKEY_UP = 12,
    VKEY_RIGHT = 13,
    VKEY_DOWN = 14,
    VKEY_PAGEUP = 15,
    VKEY_PAGEDOWN = 16,
    VKEY_SELECT = 17,
    VKEY_PRINT = 18,
    VKEY_ENTER = 19,
    VKEY_SNAPSHOT = 20,
    VKEY_INSERT = 21,
    VKEY_DELETE = 22,
    VKEY_HELP = 23,
    VKEY_NUMPAD0 = 24,
    VKEY_F1 = 40,
    VKEY_F12 = 51,
};

enum ModifierKeys : unsigned char {
    MODIFIER_SHIFT = 1,
    MODIFIER_ALTERNATE = 2,
    MODIFIER_COMMAND = 4,
    MODIFIER_CONTROL = 8,
};

}  // namespace vst

// The records must match what hosts compiled against the binary interface expect.
static_assert(sizeof(VstEvent) == 32);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(sizeof(ERect) == 8);
static_assert(sizeof(VstPinProperties) == 128);
static_assert(offsetof(AEffect, future) + 56 == sizeof(AEffect));
#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(AEffect) == 192);
static_assert(offsetof(VstEvents, events) == 16);
#endif
