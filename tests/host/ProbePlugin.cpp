// A VST 2.4 plug-in for testing hosts. It writes one line per dispatcher call, process call,
// event and host answer to the file named by MARLET_PROBE_LOG, and renders what it received:
// output 0 holds an impulse of velocity/127 at each note-on's frame, outputs 1..3 hold the
// constants 0.25, 0.5 and 0.75, so the channel order and bus selection can be seen in a file.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/FourCC.h"
#include "tests/host/ProbeLog.h"
#include "vst/VstAbi.h"

namespace {

constexpr int kInputs = 2;
constexpr int kOutputs = 4;
constexpr char kChunk[] = "probe-state";

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    probelog::Write("MARLET_PROBE_LOG", format, args);
    va_end(args);
}

struct Probe {
    AEffect effect {};
    audioMasterCallback host = nullptr;
    float pending[8192] = {};  // impulses for the next process call
    char chunk[64] = {};
};

Probe* Of(AEffect* e)
{
    return static_cast<Probe*>(e->object);
}

void AskHost(Probe& p, AEffect* effect)
{
    char text[128] = {};
    Log("host sampleRate %ld",
        static_cast<long>(p.host(effect, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0)));
    Log("host blockSize %ld",
        static_cast<long>(p.host(effect, vst::audioMasterGetBlockSize, 0, 0, nullptr, 0)));
    Log("host currentId %ld",
        static_cast<long>(p.host(effect, vst::audioMasterCurrentId, 0, 0, nullptr, 0)));
    Log("host processLevel %ld",
        static_cast<long>(
            p.host(effect, vst::audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0)));
    Log("host canDo offline %ld", static_cast<long>(p.host(effect, vst::audioMasterCanDo, 0, 0,
                                                           const_cast<char*>("offline"), 0)));
    Log("host canDo sizeWindow %ld", static_cast<long>(p.host(effect, vst::audioMasterCanDo, 0, 0,
                                                              const_cast<char*>("sizeWindow"), 0)));
    p.host(effect, vst::audioMasterGetVendorString, 0, 0, text, 0);
    Log("host vendor %s", text);
    p.host(effect, vst::audioMasterGetProductString, 0, 0, text, 0);
    Log("host product %s", text);
    Log("host time %ld",
        static_cast<long>(p.host(effect, vst::audioMasterGetTime, 0, 0, nullptr, 0)));
    // Plug-ins call from their own threads too; the host must find itself through the effect.
    std::thread([&] { p.host(effect, vst::audioMasterIdle, 7, 0, nullptr, 0); }).join();
}

vst::intptr Dispatch(AEffect* effect, vst::int32 op, vst::int32 index, vst::intptr value, void* ptr,
                     float opt)
{
    Probe& p = *Of(effect);
    if (op != vst::effProcessEvents)
        Log("dispatch %d %d %ld %g", op, index, static_cast<long>(value), opt);
    switch (op) {
        case vst::effOpen:
            AskHost(p, effect);
            return 0;
        case vst::effClose:
            delete &p;
            return 1;
        case vst::effProcessEvents: {
            const auto* list = static_cast<const VstEvents*>(ptr);
            Log("events %d", list->numEvents);
            for (int i = 0; i < list->numEvents; ++i) {
                const auto* m = reinterpret_cast<const VstMidiEvent*>(list->events[i]);
                const auto status = static_cast<unsigned char>(m->midiData[0]);
                Log("event %d %02X %d %d", m->deltaFrames, status, m->midiData[1], m->midiData[2]);
                if ((status & 0xF0) == 0x90 && m->deltaFrames >= 0 && m->deltaFrames < 8192)
                    p.pending[m->deltaFrames] = static_cast<float>(m->midiData[2]) / 127.0f;
            }
            return 1;
        }
        case vst::effGetChunk:
            *static_cast<void**>(ptr) = p.chunk;
            return static_cast<vst::intptr>(std::strlen(p.chunk));
        case vst::effSetChunk:
            std::snprintf(p.chunk, sizeof p.chunk, "%.*s", static_cast<int>(value),
                          static_cast<const char*>(ptr));
            Log("chunk %s", p.chunk);
            return 1;
        default:
            return 0;
    }
}

void Process(AEffect* effect, float** inputs, float** outputs, vst::int32 frames)
{
    Probe& p = *Of(effect);
    bool clean = true;
    for (int c = 0; c < kInputs; ++c)
        for (int f = 0; f < frames; ++f) clean = clean && inputs[c][f] == 0.0f;
    Log("process %d%s", frames, clean ? "" : " dirty-input");
    for (int c = 0; c < kInputs; ++c) inputs[c][0] = 1.0f;  // in-place plug-ins do this
    for (int f = 0; f < frames; ++f) {
        outputs[0][f] = p.pending[f];
        p.pending[f] = 0.0f;
        for (int c = 1; c < kOutputs; ++c) outputs[c][f] = 0.25f * static_cast<float>(c);
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    const vst::intptr version = host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0);
    Log("entry version %ld", static_cast<long>(version));
    if (version == 0) return nullptr;  // too old a host
    auto* p = new Probe;
    p->host = host;
    std::strcpy(p->chunk, kChunk);
    AEffect& e = p->effect;
    e.magic = vst::kEffectMagic;
    e.dispatcher = Dispatch;
    e.processReplacing = Process;
    e.numInputs = kInputs;
    e.numOutputs = kOutputs;
    e.flags = vst::effFlagsCanReplacing | vst::effFlagsIsSynth | vst::effFlagsProgramChunks;
    e.uniqueID = FourCC("Prb1");
    e.object = p;
    return &e;
}
