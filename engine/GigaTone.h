// A rack slot that plays .gig programs: one program or a stack of up to 16 layers that all play
// or are chosen per note (velocity, key switch, a controller, random, program change). It owns
// its layers, loads them on the loading thread and turns queued MIDI into voices.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/GigaPart.h"
#include "engine/GigaToneFacts.h"
#include "engine/GigaToneWords.h"
#include "engine/KyTone.h"
#include "gig/GigaLoadReport.h"
#include "platform/Relaxed.h"
#include "player/KyControllerSources.h"

class GigaRegion;
class GigaZone;

class GigaTone : public KyTone, public GigaLoadReport, public GigaToneWords {
public:
    static constexpr int kMaxLayers = 16;
    // Room for a cleared stack on its way out (until the next load pass) beside a full new one,
    // so that reading a performance into a tone that plays never costs the new stack a layer.
    static constexpr int kLayerSlots = 2 * kMaxLayers;
    using GigaToneWords::kTypeCode;
    using GigaToneWords::Status;
    // The load's statuses, which GigaLoadReport names as well: the same values.
    using GigaToneWords::kLoadingSamples;
    using GigaToneWords::kNotEnoughMemory;
    using GigaToneWords::kReadingProgram;

    // The scratch buffer is the player's shared mixing space: two halves of kScratchFloats / 2
    // floats, source frames and voice output.
    static constexpr std::size_t kScratchFloats = 0x20000 / sizeof(float);

    GigaTone(int toneIndex, int midiChannel, float* scratch);
    ~GigaTone() override;

    float* SourceBuffer() const { return scratch_; }
    float* OutputBuffer() const { return scratch_ + kScratchFloats / 2; }

    bool HasInstrument() const override { return LayerCount() > 0; }
    bool IsModified() const override { return modified_.load(std::memory_order_relaxed); }
    void SetModified(bool modified) { modified_.store(modified, std::memory_order_relaxed); }
    void SetLogFile(std::FILE* file) override { logFile_ = file; }

    // Stack editing (control threads, while the tone is stopped or not yet loaded). The stack
    // lock guards each edit; the loader takes it for short steps only, so an edit never waits
    // for a load. Cleared layers stay (leaving) until the loader takes them out.
    GigaPart* AddLayer(const std::string& bankPath, int programIndex);
    void Clear();
    void SetSelectMode(int mode);
    int SelectMode() const { return selectMode_; }
    int LayerCount() const { return layerCount_.load(std::memory_order_acquire); }
    // The layer at `index`: only for the thread that builds the stack (or while no load pass
    // can run). Other threads change layers through EditLayer and EditLayers, which hold the
    // stack lock, so the loader cannot take the layer out meanwhile.
    GigaPart* Layer(int index) const;
    bool EditLayer(int index, const LayerEdit& edit);
    void EditLayers(const StackEdit& edit);
    GigaPart* SelectedLayer() const { return selected_.load(std::memory_order_relaxed); }
    bool EditLayerBySerial(std::uint32_t serial, const LayerEdit& edit);
    // A load of the old program under way is given up.
    bool ReplaceLayer(std::uint32_t serial, const std::string& bankPath, int programIndex);
    bool RemoveLayer(std::uint32_t serial);
    void SetStackName(const std::string& name);
    std::string StackName() const;
    // Any thread.
    GigaToneFacts Facts() const;
    std::string DisplayName() const;
    int StackLowestKey() const;
    int StackHighestKey() const;
    int KeySwitchLow() const { return keySwitchLow_; }
    int KeySwitchHigh() const { return keySwitchHigh_; }
    void SetKeySwitchLow(int key) { keySwitchLow_ = key; }
    void SetKeySwitchRange(int low, int high);
    int LowestKey() const { return lowestKey_; }
    int HighestKey() const { return highestKey_; }

    int Status() const { return status_.load(std::memory_order_relaxed); }
    void SetStatus(int status);

    // The load pass (loading thread, tone stopped): loads the layers that ask for it, drops
    // the ones to be removed; answers false when a layer failed. Gives up between programs and
    // inside one when the player abandons the load (LoadCancelled).
    bool LoadPass();
    // Whether a load pass has work here: the tone or a layer asks for loading, or a cleared
    // layer waits to go.
    bool WantsLoadPass() const;
    // Loading thread, tone stopped and its streams recycled: cleared layers go now.
    void DropLeavingLayers();

    // Puts back the tone as a performance holds it: the tone's settings and defaults, the
    // stack's settings and its layers (which then ask for loading).
    void Restore(const GigaToneRecord& record);

    // GigaLoadReport: what a program load tells the tone.
    void LoadStatus(int status) override { SetStatus(status); }
    void LoadProgress(int done, int total) override;
    bool LoadCancelled() const override;

protected:
    void ReleaseLayers() override;
    void OnNoteOnEvent(int key, int velocity, int offset) override;
    void OnNoteOffEvent(int key, int velocity, int offset) override;
    void OnProgramChangeEvent(int program) override;
    void OnOtherController(int controller, int value) override;

private:
    void Select(int layer);
    // Under the stack lock: the staying layer with this serial, or null.
    GigaPart* FindLayer(std::uint32_t serial) const;
    // Under the stack lock: the layer asks for loading; a load of it under way is given up.
    bool RequestLayerLoad(GigaPart& layer);
    // Under the stack lock: moves cleared and removed layers out of the stack.
    void TakeOutLeaving(std::vector<std::unique_ptr<GigaPart>>& out);
    // Under the stack lock: the stack's key range, key switches, selection and status once
    // nothing is left to load; answers whether the status changed.
    bool FinishLoadPass(bool& allLoaded);
    // Sets the status and answers whether it changed; the caller notifies (outside its locks).
    bool ExchangeStatus(int status);
    static void ReleaseParts(std::vector<std::unique_ptr<GigaPart>>& parts);
    static void ReleaseProgram(GigaPart& layer);
    void ComputeAverages(GigaPart& layer);
    void CopyProgramFacts(GigaPart& layer);
    void ResetAfterEmptying();
    void LayerNoteOn(GigaPart& layer, int key, int velocity, int offset);
    void ToneNoteOff(int key, int offset);
    void StartZone(GigaPart& layer, GigaRegion* region, GigaZone* zone, int key, int velocity,
                   int offset);
    void StartReleaseVoices(GigaRegion& region, const class KyVoice& released, int offset);
    // Publishes a complete layer at the end of the stack; null (the layer dropped, a log line)
    // when kMaxLayers layers stay or every slot is taken.
    GigaPart* AdoptLayer(std::unique_ptr<GigaPart> layer);

    float* scratch_;
    // Guards the stack (the slots, the layers' files, programs, states and the stack name)
    // between control threads and the loader; never taken by the audio thread, which only
    // plays a stack while the loader keeps away.
    mutable std::mutex stackMutex_;
    GigaPart* loadingLayer_ = nullptr;         // under the stack lock: the layer the loader loads
    std::atomic<bool> loadCancelled_ {false};  // that layer was cleared meanwhile
    std::array<std::unique_ptr<GigaPart>, kLayerSlots> layers_ {};
    std::atomic<int> layerCount_ {0};
    std::atomic<GigaPart*> selected_ {nullptr};
    std::string stackName_;
    Relaxed<std::int32_t> selectMode_ {kSelectNone};
    Relaxed<std::int32_t> keySwitchLow_ {0};
    Relaxed<std::int32_t> keySwitchHigh_ {0};
    Relaxed<std::int32_t> lowestKey_ {0};
    Relaxed<std::int32_t> highestKey_ {0};
    std::atomic<std::int32_t> status_ {kEmpty};
    std::atomic<bool> modified_ {false};
    std::atomic<std::int32_t> loadPercent_ {-1};
    std::FILE* logFile_ = nullptr;        // kept, never written
    std::uint32_t random_ = 0x9E3779B9u;  // audio thread only
};
