// A live plug-in for the fuzz targets that reach the engine: created once per process the way a
// host creates it (the entry's factory, a host callback, open, rate, block size, switched on),
// by default rendering offline, so that loads finish before the next block and streams never
// run dry.
// Every block goes into host buffers with a guard zone on both sides; a write outside the
// block or a sample that is not finite stops the run as a finding.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fuzz/FuzzFile.h"
#include "giga/GigaPlayer.h"
#include "platform/QelLog.h"
#include "plugin/KyVstAudio.h"
#include "plugin/PluginEntry.h"
#include "prefs/GigaPrefs.h"
#include "tests/plugin/HostSide.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace fuzzplugin {

using fuzzfile::kFolder;
using fuzzfile::ScratchHome;

// The seed performances name the demo bank by this path.
inline constexpr const char* kDemoBank = "/tmp/marlet-fuzz/demo.gig";

// Writes the demo bank once per process, through a temporary file and a rename, so that targets
// running side by side never read a half-written bank.
inline const char* DemoBank()
{
    static const bool written = [] {
        std::filesystem::create_directories(kFolder);
        const std::string temp =
            std::string(kFolder) + "/demo-" + std::to_string(getpid()) + ".gig";
        testsupport::GigWriter(demo::DemoBank()).Write(temp);
        std::filesystem::rename(temp, kDemoBank);
        return true;
    }();
    (void)written;
    return kDemoBank;
}

class LivePlugin {
public:
    static constexpr int kRate = 44100;
    static constexpr int kMaxBlock = 2048;
    static constexpr int kGuard = 16;
    static constexpr float kGuardValue = 1.0e30f;

    // The process's plug-in. The scratch home comes first, so that it outlives everything that
    // writes into it at exit; the log sink is open so that every log line is really formatted.
    static LivePlugin& Instance()
    {
        static ScratchHome home;
        static LivePlugin plugin;
        return plugin;
    }

    AEffect* Effect() const { return effect_; }

    // Offline (the default), a chunk is loaded before effSetChunk returns and every block waits
    // for the disk thread's next pass while streams play; in real time neither waits, and a
    // stream that falls behind leaves a gap.
    void SetOffline(bool offline) { offline_ = offline; }
    GigaPlayer& Player() const { return *static_cast<KyVstAudio*>(effect_->object)->GetPlayer(); }

    vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                         void* ptr = nullptr, float opt = 0.0f) const
    {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    // Hands the events to the plug-in as one list, in order.
    void Events(const std::vector<VstEvent*>& events)
    {
        list_.assign(sizeof(VstEvents) + sizeof(VstEvent*) * events.size(), 0);
        auto* list = reinterpret_cast<VstEvents*>(list_.data());
        list->numEvents = static_cast<vst::int32>(events.size());
        // The record declares two slots; hosts allocate as many as there are events.
        VstEvent** slots = list->events;
        for (std::size_t i = 0; i < events.size(); ++i) slots[i] = events[i];
        Dispatch(vst::effProcessEvents, 0, 0, list);
    }

    // Hands MIDI events over as one list, in order.
    void Send(std::vector<VstMidiEvent> midi)
    {
        std::vector<VstEvent*> events;
        for (auto& e : midi) events.push_back(reinterpret_cast<VstEvent*>(&e));
        Events(events);
    }

    void Midi(int status, int data1, int data2, int delta = 0)
    {
        Send({hostside::Midi(status, data1, data2, delta)});
    }

    std::vector<std::uint8_t> GetChunk() const
    {
        void* data = nullptr;
        const auto size = Dispatch(vst::effGetChunk, 0, 0, &data);
        if (size < 0 || (size > 0 && data == nullptr)) __builtin_trap();
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return {bytes, bytes + size};
    }

    // The host keeps its own copy; the plug-in may not write into it.
    void SetChunk(const std::uint8_t* data, std::size_t size)
    {
        hostCopy_.assign(data, data + size);
        Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(size), hostCopy_.data());
        if (!std::equal(hostCopy_.begin(), hostCopy_.end(), data)) __builtin_trap();
    }
    void SetChunk(const std::vector<std::uint8_t>& bytes) { SetChunk(bytes.data(), bytes.size()); }

    // Renders `frames` (1..kMaxBlock) into guarded buffers; traps on a write outside the block
    // or a sample that is not finite.
    void Block(int frames)
    {
        for (auto& channel : channels_) channel.assign(channel.size(), kGuardValue);
        effect_->processReplacing(effect_, nullptr, pointers_.data(), frames);
        for (const auto& channel : channels_) {
            for (int i = 0; i < kGuard; ++i) {
                if (channel[static_cast<std::size_t>(i)] != kGuardValue) __builtin_trap();
                if (channel[static_cast<std::size_t>(kGuard + frames + i)] != kGuardValue)
                    __builtin_trap();
            }
            for (int i = 0; i < frames; ++i) {
                if (!std::isfinite(channel[static_cast<std::size_t>(kGuard + i)])) __builtin_trap();
            }
        }
    }

    void Render(int frames, int block = 512)
    {
        for (int done = 0; done < frames; done += block) Block(std::min(block, frames - done));
    }

    // Every channel falls silent and forgets its controllers, so that one input leaves the
    // next nothing but loaded instruments.
    void Hush()
    {
        std::vector<VstMidiEvent> reset;
        for (int channel = 0; channel < 16; ++channel) {
            for (const auto [status, data1, data2] :
                 {std::array {0xB0, 64, 0}, std::array {0xB0, 120, 0}, std::array {0xB0, 121, 0},
                  std::array {0xB0, 123, 0}, std::array {0xE0, 0, 64}})
                reset.push_back(hostside::Midi(status | channel, data1, data2));
        }
        Send(std::move(reset));
        Render(512);
    }

    // A short phrase on every channel: low, middle and high keys at soft and hard velocities,
    // held, then released into their release stage.
    void PlayEveryChannel(int heldFrames = 2048, int releaseFrames = 1024)
    {
        static constexpr int kKeys[] = {0, 36, 60, 61, 84, 127};
        for (int channel = 0; channel < 16; ++channel) {
            for (int k = 0; k < 6; ++k) Midi(0x90 | channel, kKeys[k], k % 2 ? 127 : 20, k * 7);
        }
        Render(heldFrames);
        for (int channel = 0; channel < 16; ++channel) {
            for (int key : kKeys) Midi(0x80 | channel, key, 64);
        }
        Render(releaseFrames);
    }

private:
    static vst::intptr Host(AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float)
    {
        if (opcode == vst::audioMasterVersion) return 2400;
        if (opcode == vst::audioMasterGetCurrentProcessLevel)
            return offline_ ? KyVstAudio::kProcessLevelOffline : kProcessLevelRealtime;
        return 0;
    }
    static constexpr vst::intptr kProcessLevelRealtime = 2;
    static inline bool offline_ = true;

    LivePlugin()
    {
        QelLog::OpenSink("/dev/null");
        // Short preloads, so that small inputs already play from disk.
        GigaPrefs::Instance().SetPreloadMinimum(GigaPrefs::kMinPreloadSeconds);
        GigaPrefs::Instance().SetPreloadTolerance(GigaPrefs::kMinPreloadSeconds);
        effect_ = CreatePluginEffect(&Host);
        if (effect_ == nullptr) std::abort();
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        Dispatch(vst::effSetBlockSize, 0, kMaxBlock);
        Dispatch(vst::effMainsChanged, 0, 1);
        for (auto& channel : channels_)
            channel.assign(static_cast<std::size_t>(kMaxBlock + 2 * kGuard), kGuardValue);
        for (auto& channel : channels_) pointers_.push_back(channel.data() + kGuard);
    }
    ~LivePlugin()
    {
        Dispatch(vst::effMainsChanged, 0, 0);
        Dispatch(vst::effClose);
        QelLog::CloseSink();
    }

    AEffect* effect_ = nullptr;
    std::vector<std::vector<float>> channels_ =
        std::vector<std::vector<float>>(KyVstAudio::kOutputs);
    std::vector<float*> pointers_;
    std::vector<char> list_;
    std::vector<std::uint8_t> hostCopy_;
};

}  // namespace fuzzplugin
