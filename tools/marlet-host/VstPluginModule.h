// Loads a VST 2.4 plug-in library, creates the plug-in through its entry function and plays
// the host's part of the conversation: the host callback, and a typed dispatcher front.
// Used by marlet-host and by the tests that drive a plug-in only through its binary interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/SharedLibrary.h"
#include "vst/VstAbi.h"

class VstPluginModule {
public:
    struct HostCall {
        vst::int32 opcode;
        vst::int32 index;
        vst::intptr value;
    };
    // How often the plug-in called the host with one opcode.
    struct HostCallCount {
        vst::int32 opcode;
        std::uint64_t count;
    };
    // Opcodes from 0 to below this are counted one by one; any other counts as kOtherOpcode.
    static constexpr vst::int32 kCountedOpcodes = 64;
    static constexpr vst::int32 kOtherOpcode = -1;

    struct Options {
        vst::intptr versionAnswer = 2400;  // what audioMasterVersion answers (0: a too old host)
        double sampleRate = 44100.0;       // answered to audioMasterGetSampleRate
        vst::int32 blockSize = 512;        // answered to audioMasterGetBlockSize
        vst::intptr processLevel = 4;      // audioMasterGetCurrentProcessLevel: offline
        // Off for hosts that count the heap allocations of the audio thread: the record grows
        // on whichever thread the plug-in calls back from.
        bool recordCalls = true;
    };

    // More audio pins than this is taken as a broken plug-in rather than believed.
    static constexpr vst::int32 kMaxPins = 1024;

    // Opens the library and calls its entry ("VSTPluginMain", else "main"). On failure returns
    // null and describes the reason in `error`. A plug-in whose entry returns null is a failure
    // too ("the plug-in refused to start").
    static std::unique_ptr<VstPluginModule> Load(const std::string& path, std::string& error);
    static std::unique_ptr<VstPluginModule> Load(const std::string& path, const Options& options,
                                                 std::string& error);

    ~VstPluginModule();  // closes the plug-in (effClose) when still open, then unloads the library
    VstPluginModule(const VstPluginModule&) = delete;
    VstPluginModule& operator=(const VstPluginModule&) = delete;

    AEffect* Effect() const { return effect_; }
    vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                         void* ptr = nullptr, float opt = 0.0f) const;
    // effClose; afterwards Effect() is null.
    void Close();

    // Every call the plug-in made to the host callback, in order (thread-safe copy).
    std::vector<HostCall> HostCalls() const;
    // The calls counted per opcode, lowest opcode first, only those made (kept also when
    // recording is off: counting takes no memory, on whatever thread the plug-in calls from).
    std::vector<HostCallCount> HostCallCounts() const;
    // The interface's name of a host opcode ("audioMasterUpdateDisplay"), or "unknown".
    static const char* HostOpcodeName(vst::int32 opcode);
    void SetSampleRate(double rate);
    void SetBlockSize(vst::int32 frames);
    // 4 offline (the default: marlet-host renders offline), 2 real time.
    void SetProcessLevel(vst::intptr level);

    // Convenience wrappers for the text queries; empty when the plug-in answers nothing.
    std::string EffectName() const;
    std::string VendorString() const;
    std::string ProductString() const;

private:
    VstPluginModule() = default;
    std::string QueryText(vst::int32 opcode) const;

    struct State;
    std::unique_ptr<platform::SharedLibrary> library_;
    AEffect* effect_ = nullptr;
    std::unique_ptr<State> state_;
};
