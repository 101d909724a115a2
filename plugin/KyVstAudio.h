// The object the host talks to: adapts the interface layer to the player. It maps the host's
// 32 output channels onto 16 stereo buses, turns host MIDI into player calls and carries the
// host's project state through the player's save and load.
#pragma once

#include "player/KyBufferList.h"
#include "player/KyIdentity.h"
#include "platform/QelLog.h"
#include "plugin/KyPlayerDef.h"
#include "vst/AudioEffectX.h"

class KyVstAudio : public AudioEffectX, public KyPlayerDef, public QelLog {
public:
    static constexpr const char* kEffectName = KyIdentity::kName;
    static constexpr const char* kVendor = KyIdentity::kVendor;
    static constexpr const char* kProduct = KyIdentity::kProduct;
    static constexpr vst::int32 kVendorVersion = KyIdentity::kVendorVersion;
    static constexpr vst::int32 kUniqueId = KyIdentity::kUniqueId;
    static constexpr int kBuses = 16;
    static constexpr int kOutputs = 2 * kBuses;
    static constexpr int kPlayerBufferSize = 2048;
    static constexpr vst::intptr kProcessLevelOffline = 4;
    static constexpr int kOfflineLoadLimitMs = 300'000;

    explicit KyVstAudio(audioMasterCallback host);
    ~KyVstAudio() override;

    void open() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, vst::int32 frames) override;
    vst::int32 processEvents(VstEvents* events) override;
    bool getOutputProperties(vst::int32 index, VstPinProperties* properties) override;
    vst::int32 getChunk(void** data, bool isPreset) override;
    vst::int32 setChunk(void* data, vst::int32 byteSize, bool isPreset) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::int32 getVendorVersion() override { return kVendorVersion; }
    vst::int32 canDo(const char* text) override;

private:
    KyBufferList buffers_;
};
