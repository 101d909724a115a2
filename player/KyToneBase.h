// The part of a tone that the player drives: the MIDI entry points with the key-down table,
// the MIDI queues, the mailbox through which control threads start and stop the tone, and the
// shape of a rendering pass. The tone's musical state and its voices live in the engine's KyTone.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <span>

#include "platform/FourCC.h"
#include "player/KyMidiEvent.h"
#include "player/KyRingBuffer.h"
#include "platform/QelLog.h"

class KyAudioGate;
class KyBufferList;
class KyPlayer;

class KyToneBase : public QelLog {
public:
    static constexpr std::uint32_t kQueueCapacity = 1024;
    static constexpr std::uint32_t kMaxEventsPerBlock = 1024;
    static constexpr int kKeys = 128;

    // Mailbox words.
    static constexpr std::int32_t kStartRequest = FourCC("kysa");
    static constexpr std::int32_t kClearMidiRequest = FourCC("kysm");
    static constexpr std::int32_t kStopVoicesRequest = FourCC("kysv");
    static constexpr std::int32_t kVoicesSounding = 1;

    // A stop request that the audio thread has not answered after this long, while the host has
    // not asked for a single block, is carried out by the requester itself.
    static constexpr int kTakeOverAfterMs = 250;

    KyToneBase(int toneIndex, int midiChannel);
    ~KyToneBase() override;
    KyToneBase(const KyToneBase&) = delete;
    KyToneBase& operator=(const KyToneBase&) = delete;

    // MIDI from the host, routed by the player on the host's audio thread.
    virtual void NoteOn(int key, int velocity, int offset);
    virtual void NoteOff(int key, int velocity, int offset);
    virtual void ControlChange(int controller, int value, int offset);
    virtual void PitchBend(int low, int high, int offset);
    virtual void ProgramChange(int program);
    virtual void AllNotesOff();

    // MIDI from the on-screen keyboard (GUI thread), through a ring of its own so that each ring
    // keeps a single producer.
    void KeyboardNoteOn(int key, int velocity);
    void KeyboardNoteOff(int key);

    virtual void SetLogFile(std::FILE* file) {}
    virtual bool HasInstrument() const { return false; }
    virtual bool IsModified() const { return false; }

    // Player side.
    void Attach(KyPlayer* player, KyAudioGate* gate);
    KyPlayer* Player() const { return player_; }
    bool Start();  // control thread; true when a start request was posted
    // Control thread; withdraws a start not taken up yet and returns once the tone is silent,
    // inactive and not being rendered.
    void Stop();
    bool CheckActive();                              // audio thread, start of every block
    void Render(KyBufferList* outputs, int frames);  // audio thread, active tones only
    void Unload();  // teardown, when no block can be rendered any more

    bool IsActive() const { return active_.load(std::memory_order_acquire); }
    int ToneIndex() const { return toneIndex_; }
    int MidiChannel() const { return midiChannel_.load(std::memory_order_relaxed); }
    void SetMidiChannel(int channel) { midiChannel_.store(channel, std::memory_order_relaxed); }
    bool IsKeyDown(int key) const;
    int ActiveNotes() const { return activeNotes_.load(std::memory_order_relaxed); }
    void ResetActiveNotes() { activeNotes_.store(0, std::memory_order_relaxed); }
    std::int32_t Mailbox() const { return mailbox_.load(std::memory_order_acquire); }
    // Events refused because a queue was full (the newest event is the one dropped).
    std::uint32_t DroppedEvents() const { return dropped_.load(std::memory_order_relaxed); }

protected:
    // Applies queued events in queue order (audio thread).
    virtual void ProcessEvents(std::span<const KyMidiEvent> events) = 0;
    // Renders the tone's voices; answers how many voices the tone had when mixing began.
    virtual int MixVoices(KyBufferList* outputs, int frames) { return 0; }
    // Stop request: every sounding voice fades out fast (audio thread).
    virtual void KillVoices() {}
    // Voices end at once and go back to the pool (audio thread, or a control thread that has
    // taken over the rendering).
    virtual void EndVoicesNow() {}
    // Releases what the tone has loaded, at teardown.
    virtual void ReleaseLayers() {}
    // Called once the tone belongs to a player.
    virtual void OnAttach() {}
    virtual void BeginBlock() {}
    virtual void EndBlock(bool hadVoices, bool notesAtStart) {}

    void AddActiveNotes(int delta) { activeNotes_.fetch_add(delta, std::memory_order_relaxed); }
    void SetKeyDown(int key, bool down);

private:
    void Queue(KyRingBuffer<KyMidiEvent>& ring, const KyMidiEvent& event);
    void Drain(KyRingBuffer<KyMidiEvent>& ring);
    void ClearQueues();
    void ServeMailbox(bool byRequester);
    void Request(std::int32_t code);

    const int toneIndex_;
    std::atomic<int> midiChannel_;
    KyPlayer* player_ = nullptr;
    KyAudioGate* gate_ = nullptr;
    std::atomic<bool> active_ {false};
    std::atomic<std::int32_t> mailbox_ {0};
    std::atomic<int> activeNotes_ {0};
    std::atomic<std::uint32_t> dropped_ {0};
    std::atomic<std::uint8_t> keyDown_[kKeys] {};
    KyRingBuffer<KyMidiEvent> hostQueue_ {kQueueCapacity};
    KyRingBuffer<KyMidiEvent> keyboardQueue_ {kQueueCapacity};
};
