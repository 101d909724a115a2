#include "plugin/KyVstAudio.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/DenormalGuard.h"
#include "platform/Platform.h"
#if MARLET_EDITOR
#include "plugin/KyVstWindow.h"
#endif

namespace {

void CopyText(char* destination, const char* text, std::size_t capacity)
{
    std::snprintf(destination, capacity, "%s", text);
}

void ZeroChannel(float* channel, vst::int32 frames)
{
    if (channel) std::memset(channel, 0, sizeof(float) * static_cast<std::size_t>(frames));
}

}  // namespace

KyVstAudio::KyVstAudio(audioMasterCallback host) : AudioEffectX(host, 0, 0)
{
    setUniqueID(kUniqueId);
    setNumInputs(0);
    setNumOutputs(kOutputs);
    isSynth();
    programsAreChunks();
    canProcessReplacing();
    buffers_.SetBusCount(kBuses);
    GetPlayer()->SetOutputBusCount(kBuses);
#if MARLET_EDITOR
    KyVstWindow::Attach(*this, *this);
#endif
}

KyVstAudio::~KyVstAudio()
{
    Log("KyVstAudio::~KyVstAudio()\r\n");
    // A host that closes the plug-in with its editor open: the window goes before the view it
    // shows, and the view before the player.
    setEditor(nullptr);
}

void KyVstAudio::open()
{
    Log("KyVstAudio[%p]::open()\r\n", static_cast<void*>(this));
    GigaPlayer* player = GetPlayer();
    player->SetSampleRate(static_cast<int>(getSampleRate()));
    player->SetBufferSize(kPlayerBufferSize);
    player->KyStart();
}

void KyVstAudio::setSampleRate(float rate)
{
    Log("KyVstAudio::setSampleRate(%f)", static_cast<double>(rate));
    // A rate that is not a finite positive number would poison every pitch computation.
    if (!std::isfinite(rate) || rate < 1.0f || rate > 10'000'000.0f) {
        Log("*** KyVstAudio::setSampleRate() refused ***\r\n");
        return;
    }
    AudioEffectX::setSampleRate(rate);
    GetPlayer()->SetSampleRate(static_cast<int>(rate));
}

void KyVstAudio::processReplacing(float** inputs, float** outputs, vst::int32 frames)
{
    if (!outputs || frames <= 0) return;
    for (int bus = 0; bus < kBuses; ++bus) {
        float* left = outputs[2 * bus];
        float* right = outputs[2 * bus + 1];
        ZeroChannel(left, frames);
        ZeroChannel(right, frames);
        buffers_.SetBus(bus, left, right);
        buffers_.SetReady(bus, left && right);
    }
    // The host's floating-point mode comes back when the block is done.
    const platform::DenormalGuard denormals;
    GigaPlayer* player = GetPlayer();
    // A host that renders offline never plays in real time: streamed voices wait for the disk
    // when their data are not there yet, rather than run dry.
    player->SetRenderingOffline(hostCall(vst::audioMasterGetCurrentProcessLevel) ==
                                kProcessLevelOffline);
    player->Process(&buffers_, frames);
}

vst::int32 KyVstAudio::processEvents(VstEvents* events)
{
    GigaPlayer* player = GetPlayer();
    // The record declares two slots; the host's list holds numEvents of them, so they are
    // reached through a pointer rather than indexed in the declared array.
    VstEvent* const* list = events->events;
    for (vst::int32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (!event || event->type != vst::kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const int status = static_cast<unsigned char>(midi->midiData[0]);
        const int channel = status & 0x0F;
        const int data1 = midi->midiData[1] & 0x7F;
        const int data2 = midi->midiData[2] & 0x7F;
        const int offset = midi->deltaFrames;
        switch (status & 0xF0) {
            case 0x80:
                player->NoteOff(channel, data1, 0, offset);
                break;
            case 0x90:
                if (data2 > 0)
                    player->NoteOn(channel, data1, data2, offset);
                else
                    player->NoteOff(channel, data1, 0, offset);
                break;
            case 0xB0:
                player->ControlChange(channel, data1, data2, offset);
                break;
            case 0xC0:
                player->ProgramChange(channel, data1);
                break;
            case 0xE0:
                player->PitchBend(channel, data1, data2, offset);
                break;
            default:  // aftertouch, channel pressure, system messages, stray data bytes
                break;
        }
    }
    return 1;
}

bool KyVstAudio::getOutputProperties(vst::int32 index, VstPinProperties* properties)
{
    if (index < 0 || index >= kOutputs) return false;
    std::snprintf(properties->label, sizeof properties->label, "Out %d|%d", index + 1, index + 2);
    std::snprintf(properties->shortLabel, sizeof properties->shortLabel, "%d|%d", index + 1,
                  index + 2);
    properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
    properties->arrangementType = vst::kSpeakerArrStereo;
    return true;
}

vst::int32 KyVstAudio::getChunk(void** data, bool isPreset)
{
    *data = nullptr;
    if (isPreset) return 0;
    GigaPlayer* player = GetPlayer();
    const std::size_t size = player->SaveToMemory();
    if (size == 0 || size > static_cast<std::size_t>(INT32_MAX)) return 0;
    *data = const_cast<char*>(player->Chunk().data());
    return static_cast<vst::int32>(size);
}

vst::int32 KyVstAudio::setChunk(void* data, vst::int32 byteSize, bool isPreset)
{
    if (isPreset) return 0;
    GigaPlayer* player = GetPlayer();
    player->LoadFromMemory(data, static_cast<std::size_t>(byteSize));
    // A host that renders offline plays the first block right away and never in real time:
    // it gets its instruments loaded before setChunk returns. A live host keeps running while
    // they load in the background.
    if (hostCall(vst::audioMasterGetCurrentProcessLevel) == kProcessLevelOffline) {
        for (int waited = 0; player->IsLoading() && waited < kOfflineLoadLimitMs; waited += 10)
            platform::SleepMs(10);
    }
    return 1;
}

bool KyVstAudio::getEffectName(char* name)
{
    CopyText(name, kEffectName, vst::kVstMaxEffectNameLen);
    return true;
}

bool KyVstAudio::getVendorString(char* text)
{
    CopyText(text, kVendor, vst::kVstMaxVendorStrLen);
    return true;
}

bool KyVstAudio::getProductString(char* text)
{
    CopyText(text, kProduct, vst::kVstMaxProductStrLen);
    return true;
}

vst::int32 KyVstAudio::canDo(const char* text)
{
    for (std::string_view accepted :
         {"receiveVstEvents", "receiveVstMidiEvent", "LiveWithoutToolbar"})
        if (accepted == text) return 1;
    return -1;
}
