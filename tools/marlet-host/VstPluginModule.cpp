#include "tools/marlet-host/VstPluginModule.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string_view>

namespace {

using EntryProc = AEffect* (*)(audioMasterCallback);

constexpr std::string_view kVendor = "Marlet host";
constexpr std::string_view kProduct = "marlet-host";
// A plug-in asking for the time every block would otherwise grow the record without end during
// a long render; the first calls are the ones worth inspecting.
constexpr std::size_t kMaxRecordedCalls = 1u << 20;

constexpr std::array<std::string_view, 5> kHostCanDo {
    "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent", "offline"};

void CopyText(void* destination, std::string_view text, std::size_t capacity)
{
    if (!destination) return;
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(destination, text.data(), n);
    static_cast<char*>(destination)[n] = '\0';
}

}  // namespace

struct VstPluginModule::State {
    explicit State(const Options& o) : options(o) {}

    // The plug-in may call back while its entry runs, before the host knows its AEffect (and
    // often with a null effect); that call lands on the loading thread and finds the state here.
    static thread_local State* loading;

    static vst::intptr Callback(AEffect* effect, vst::int32 opcode, vst::int32 index,
                                vst::intptr value, void* ptr, float)
    {
        State* state = loading;
        if (!state && effect) state = static_cast<State*>(effect->user);
        if (!state) return opcode == vst::audioMasterVersion ? Options {}.versionAnswer : 0;
        return state->Answer(effect, opcode, index, value, ptr);
    }

    vst::intptr Answer(AEffect* effect, vst::int32 opcode, vst::int32 index, vst::intptr value,
                       void* ptr)
    {
        const bool counted = opcode >= 0 && opcode < kCountedOpcodes;
        counts[counted ? static_cast<std::size_t>(opcode) : kCountedOpcodes].fetch_add(
            1, std::memory_order_relaxed);
        std::lock_guard lock(mutex);
        if (options.recordCalls && calls.size() < kMaxRecordedCalls)
            calls.push_back({opcode, index, value});
        switch (opcode) {
            case vst::audioMasterVersion:
                return options.versionAnswer;
            case vst::audioMasterCurrentId:
                return effect ? effect->uniqueID : 0;
            case vst::audioMasterGetSampleRate:
                return static_cast<vst::intptr>(options.sampleRate);
            case vst::audioMasterGetBlockSize:
                return options.blockSize;
            case vst::audioMasterGetVendorString:
                CopyText(ptr, kVendor, vst::kVstMaxVendorStrLen);
                return 1;
            case vst::audioMasterGetProductString:
                CopyText(ptr, kProduct, vst::kVstMaxProductStrLen);
                return 1;
            case vst::audioMasterGetVendorVersion:
                return 1;
            case vst::audioMasterCanDo: {
                if (!ptr) return 0;
                const std::string_view asked(static_cast<const char*>(ptr));
                return std::find(kHostCanDo.begin(), kHostCanDo.end(), asked) != kHostCanDo.end();
            }
            case vst::audioMasterGetTime:
                return 0;  // offline rendering has no transport
            case vst::audioMasterWantMidi:
                return 1;
            case vst::audioMasterGetCurrentProcessLevel:
                return options.processLevel;
            default:
                return 0;
        }
    }

    mutable std::mutex mutex;
    Options options;
    std::vector<HostCall> calls;
    // One per counted opcode, then the others.
    std::array<std::atomic<std::uint64_t>, kCountedOpcodes + 1> counts {};
};

thread_local VstPluginModule::State* VstPluginModule::State::loading = nullptr;

std::unique_ptr<VstPluginModule> VstPluginModule::Load(const std::string& path, std::string& error)
{
    return Load(path, Options {}, error);
}

std::unique_ptr<VstPluginModule> VstPluginModule::Load(const std::string& path,
                                                       const Options& options, std::string& error)
{
    error.clear();
    std::unique_ptr<VstPluginModule> module(new VstPluginModule());
    module->state_ = std::make_unique<State>(options);

    std::string why;
    module->library_ = platform::SharedLibrary::Open(path, why);
    if (!module->library_) {
        error = "cannot load the plug-in: " + why;
        return nullptr;
    }
    void* entry = module->library_->Symbol("VSTPluginMain");
    if (!entry) entry = module->library_->Symbol("main");
    if (!entry) {
        error = path + " is not a VST plug-in (no VSTPluginMain or main entry)";
        return nullptr;
    }

    State* const previous = State::loading;
    State::loading = module->state_.get();
    AEffect* effect = reinterpret_cast<EntryProc>(entry)(&State::Callback);
    State::loading = previous;

    if (!effect) {
        error = "the plug-in refused to start (" + path + " returned no effect)";
        return nullptr;
    }
    if (effect->magic != vst::kEffectMagic || !effect->dispatcher) {
        // Not something that can safely be closed either; only the library is released.
        error = path + " returned something that is not a VST 2 effect";
        return nullptr;
    }
    effect->user = module->state_.get();
    module->effect_ = effect;
    return module;
}

VstPluginModule::~VstPluginModule()
{
    Close();
    // The library goes after the effect is closed.
    library_.reset();
}

vst::intptr VstPluginModule::Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                      void* ptr, float opt) const
{
    if (!effect_) return 0;
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void VstPluginModule::Close()
{
    if (!effect_) return;
    Dispatch(vst::effClose);
    effect_ = nullptr;
}

std::vector<VstPluginModule::HostCall> VstPluginModule::HostCalls() const
{
    std::lock_guard lock(state_->mutex);
    return state_->calls;
}

std::vector<VstPluginModule::HostCallCount> VstPluginModule::HostCallCounts() const
{
    std::vector<HostCallCount> made;
    const auto& counts = state_->counts;
    if (const std::uint64_t other = counts.back().load(std::memory_order_relaxed))
        made.push_back({kOtherOpcode, other});
    for (vst::int32 opcode = 0; opcode < kCountedOpcodes; ++opcode)
        if (const std::uint64_t n =
                counts[static_cast<std::size_t>(opcode)].load(std::memory_order_relaxed))
            made.push_back({opcode, n});
    return made;
}

const char* VstPluginModule::HostOpcodeName(vst::int32 opcode)
{
    using namespace vst;
    struct Named {
        int32 opcode;
        const char* name;
    };
    static constexpr Named kNames[] = {
        {audioMasterAutomate, "audioMasterAutomate"},
        {audioMasterVersion, "audioMasterVersion"},
        {audioMasterCurrentId, "audioMasterCurrentId"},
        {audioMasterIdle, "audioMasterIdle"},
        {audioMasterWantMidi, "audioMasterWantMidi"},
        {audioMasterGetTime, "audioMasterGetTime"},
        {audioMasterProcessEvents, "audioMasterProcessEvents"},
        {audioMasterIOChanged, "audioMasterIOChanged"},
        {audioMasterSizeWindow, "audioMasterSizeWindow"},
        {audioMasterGetSampleRate, "audioMasterGetSampleRate"},
        {audioMasterGetBlockSize, "audioMasterGetBlockSize"},
        {audioMasterGetInputLatency, "audioMasterGetInputLatency"},
        {audioMasterGetOutputLatency, "audioMasterGetOutputLatency"},
        {audioMasterGetCurrentProcessLevel, "audioMasterGetCurrentProcessLevel"},
        {audioMasterGetAutomationState, "audioMasterGetAutomationState"},
        {audioMasterGetVendorString, "audioMasterGetVendorString"},
        {audioMasterGetProductString, "audioMasterGetProductString"},
        {audioMasterGetVendorVersion, "audioMasterGetVendorVersion"},
        {audioMasterVendorSpecific, "audioMasterVendorSpecific"},
        {audioMasterCanDo, "audioMasterCanDo"},
        {audioMasterGetLanguage, "audioMasterGetLanguage"},
        {audioMasterGetDirectory, "audioMasterGetDirectory"},
        {audioMasterUpdateDisplay, "audioMasterUpdateDisplay"},
        {audioMasterBeginEdit, "audioMasterBeginEdit"},
        {audioMasterEndEdit, "audioMasterEndEdit"},
    };
    for (const Named& named : kNames)
        if (named.opcode == opcode) return named.name;
    return "unknown";
}

void VstPluginModule::SetSampleRate(double rate)
{
    std::lock_guard lock(state_->mutex);
    state_->options.sampleRate = rate;
}

void VstPluginModule::SetBlockSize(vst::int32 frames)
{
    std::lock_guard lock(state_->mutex);
    state_->options.blockSize = frames;
}

void VstPluginModule::SetProcessLevel(vst::intptr level)
{
    std::lock_guard lock(state_->mutex);
    state_->options.processLevel = level;
}

std::string VstPluginModule::EffectName() const
{
    return QueryText(vst::effGetEffectName);
}
std::string VstPluginModule::VendorString() const
{
    return QueryText(vst::effGetVendorString);
}
std::string VstPluginModule::ProductString() const
{
    return QueryText(vst::effGetProductString);
}

std::string VstPluginModule::QueryText(vst::int32 opcode) const
{
    // Plug-ins are known to write past the documented lengths; the buffer leaves ample room.
    std::array<char, 256> text {};
    Dispatch(opcode, 0, 0, text.data());
    return std::string(text.data(), strnlen(text.data(), text.size()));
}
