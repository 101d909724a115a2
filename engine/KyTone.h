// The generic tone: its controller table and the values the controllers drive (volume,
// expression, pan, bend, sustain), tuning, output bus and mute state, and the application of
// queued MIDI at the start of each block. The .gig tone adds programs, layers and voices.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "engine/KyToneView.h"
#include "engine/KyToneWords.h"
#include "engine/KyVoiceList.h"
#include "platform/FourCC.h"
#include "player/KyControllerSources.h"
#include "player/KyParamList.h"
#include "player/KyToneBase.h"

class KyTone : public KyToneBase, public KyParamList, public KyToneWords {
public:
    static constexpr int kControllerSlots = KyControllerSources::kSlots;
    static constexpr int kDefaultVolume = 90;
    static constexpr int kDefaultExpression = 127;
    static constexpr int kDefaultPan = 64;

    KyTone(int toneIndex, int midiChannel);
    ~KyTone() override;

    int Volume() const { return volume_.load(std::memory_order_relaxed); }
    int Expression() const { return expression_.load(std::memory_order_relaxed); }
    int EffectiveVolume() const { return effectiveVolume_.load(std::memory_order_relaxed); }
    int Pan() const { return pan_.load(std::memory_order_relaxed); }
    int Tune() const { return tune_.load(std::memory_order_relaxed); }
    int Bend() const { return pitchBend_.load(std::memory_order_relaxed); }
    bool Sustain() const { return sustain_.load(std::memory_order_relaxed); }
    int OutputBus() const { return outputBus_.load(std::memory_order_relaxed); }
    std::int32_t TypeCode() const { return typeCode_; }

    void SetVolume(int volume);
    // The level the voices use, set directly (the editor's fader): the CC7 volume that a
    // performance stores stays as it was.
    void SetEffectiveVolume(int volume)
    {
        effectiveVolume_.store(volume, std::memory_order_relaxed);
    }
    void SetPan(int pan) { pan_.store(pan, std::memory_order_relaxed); }
    void SetTune(int cents) { tune_.store(cents, std::memory_order_relaxed); }
    void SetOutputBus(int bus) { outputBus_.store(bus, std::memory_order_relaxed); }

    int Mute(MuteWord which) const { return mute_[which].load(std::memory_order_relaxed); }
    void SetMute(MuteWord which, int value)
    {
        mute_[which].store(static_cast<std::int16_t>(value), std::memory_order_relaxed);
    }
    bool IsMuted() const { return Mute(kCurrentMute) == 1; }

    // Controller table.
    int ControllerValue(int slot) const;
    void SetController(int slot, int value);
    void WatchController(int slot, bool watched = true);
    bool IsWatched(int slot) const;
    // The value a view showed last; only the view's thread touches it.
    int ShownValue(int slot) const;
    void SetShownValue(int slot, int value);
    // 0..119 to 0, then 12, 13, 80..83, 94 and 95 to 127; 120..255 keep their values.
    void ResetControllers();
    // Volume, expression, pan, tune and bend back to their defaults, no keys held.
    void ResetDefaults();

    // Voices: taken from the player's free pool, kept in this tone's list while they sound.
    void SetVoicePool(KyVoiceList* pool) { pool_ = pool; }
    KyVoiceList& Voices() { return voices_; }
    // Takes the first free voice and starts it; null when the pool is empty (the note is
    // dropped: sounding voices are never stolen).
    KyVoice* StartVoice(int key, int velocity, int frameOffset, GigaZone* zone, GigaPart* layer);

    // The view that hears this tone's notifications. Setting another (or none) returns once no
    // notification to the earlier view is still under way, so the earlier one may go right
    // after; only the setting thread waits, and only for a notification in flight.
    void SetView(KyToneView* view);
    KyToneView* View() const { return view_.load(std::memory_order_acquire); }
    void Notify(std::int32_t code, std::int32_t value) const;

protected:
    void ProcessEvents(std::span<const KyMidiEvent> events) override;
    void BeginBlock() override;
    void EndBlock(bool hadVoices, bool notesAtStart) override;
    int MixVoices(KyBufferList* outputs, int frames) override;
    void KillVoices() override;
    void EndVoicesNow() override;

    // What a tone that plays instruments does with notes, program changes and the controllers
    // that are not the tone's own (the stack's selection controller). Notes carry their frame
    // inside the block, so that they sound where the host put them.
    virtual void OnNoteOnEvent(int key, int velocity, int offset) {}
    virtual void OnNoteOffEvent(int key, int velocity, int offset) {}
    virtual void OnProgramChangeEvent(int program) {}
    virtual void OnOtherController(int controller, int value) {}

    std::int32_t typeCode_ = 0;

private:
    struct Controller {
        std::atomic<bool> watched {false};
        std::atomic<std::int32_t> value {0};
        std::int32_t shown = 0;
    };

    void HandleEvent(const KyMidiEvent& event);
    void HandleControlChange(int controller, int value);

    std::atomic<int> volume_ {kDefaultVolume};
    std::atomic<int> expression_ {kDefaultExpression};
    std::atomic<int> effectiveVolume_ {kDefaultVolume};
    std::atomic<int> pan_ {kDefaultPan};
    std::atomic<int> tune_ {0};
    std::atomic<int> pitchBend_ {0};
    std::atomic<bool> sustain_ {false};
    std::atomic<int> outputBus_ {0};
    std::atomic<std::int16_t> mute_[3] {};
    std::atomic<KyToneView*> view_ {nullptr};
    mutable std::atomic<int> notifying_ {0};  // notifications under way
    KyVoiceList* pool_ = nullptr;
    KyVoiceList voices_;
    Controller controllers_[kControllerSlots];
    bool controllersChanged_ = false;  // audio thread only
};
