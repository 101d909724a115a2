// The rack: up to 16 tones, MIDI routing to them, the start/stop handshake with the audio
// thread, the per-block rendering pass and the host-state transport. Every player of the process
// is in one list, which the background loader walks.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "player/KyAudioGate.h"
#include "player/KyEditor.h"
#include "player/KyInstrument.h"
#include "player/KyParamList.h"
#include "player/KyToneBase.h"

class KyBufferList;

class KyPlayer : public KyInstrument, public KyParamList {
public:
    static constexpr int kMaxTones = 16;
    static constexpr float kDefaultSampleRate = 44100.0f;
    static constexpr const char* kLogFileName = "marlet.log";
    static constexpr const char* kDataFolderName = "Orvana";
    // A host's chunk size is a 32-bit count.
    static constexpr std::size_t kMaxChunkBytes = 0x7FFFFFFF;

    // When a new player joins the process-wide list, which the background loader walks from
    // its own thread. The loader must never meet a player whose constructors are still running
    // (its loading step and tones would be half made): a class whose parts the loader reaches
    // constructs its base with kWhenWhole and calls JoinPlayerList() as the last step of its
    // own constructor. The framework's own player has nothing more to make and joins at once.
    enum class Listing { kAtOnce, kWhenWhole };

    KyPlayer();  // joins at once
    explicit KyPlayer(Listing listing);
    ~KyPlayer() override;

    // Process-wide: the sample rate every voice computes with, and the list of players.
    static float SampleRate() { return sampleRate_.load(std::memory_order_relaxed); }
    static int PlayerCount();
    // Calls `visit` for every listed player, in the order they joined. Players may come and go
    // meanwhile; the one being visited stays alive until its visit ends.
    static void ForEachPlayer(const std::function<void(KyPlayer&)>& visit);
    // Puts the player at the end of the list, once it is whole (see Listing); idempotent, and
    // refused once the player is leaving.
    void JoinPlayerList();
    // Takes this player out of the list; a visit in progress is asked to give up (Leaving).
    // With `awaitVisit`, returns once that visit has ended: from then on the background loader
    // never touches the player. Done first at teardown, by the most derived destructor or the
    // owner; idempotent.
    void LeavePlayerList(bool awaitVisit = true);
    // A visit is in progress (whether or not the player is still listed).
    bool IsVisited() const;
    // The player is leaving: whatever a visit is doing for it can stop.
    bool Leaving() const { return leaving_.load(std::memory_order_acquire); }
    // Whether a load under way for this player is no longer wanted (loading thread).
    virtual bool LoadAbandoned() const { return Leaving(); }

    virtual void OnSampleRate(int rate);
    virtual void OnBufferSize(int frames);
    virtual void NoteOn(int channel, int key, int velocity, int offset);
    virtual void NoteOff(int channel, int key, int velocity, int offset);
    virtual void ControlChange(int channel, int controller, int value, int offset);
    virtual void PitchBend(int channel, int low, int high, int offset);
    virtual void ProgramChange(int channel, int program);
    // The rendering pass (audio thread); answers `frames`.
    virtual int Process(KyBufferList* outputs, int frames);
    virtual bool OnSave(const std::string& path) { return false; }
    virtual bool OnLoad(const std::string& path) { return false; }
    virtual void AfterLoad() {}
    // Channel below 0: every tone.
    virtual void AllNotesOff(int channel);
    virtual void OnInit() {}
    // The background loader's step for this player (loading thread): loads what the tones ask
    // for; answers false when a tone failed. A player without loadable tones has nothing to do.
    virtual bool LoadTones() { return true; }
    virtual void WaitForDiskIdle() {}
    virtual void Statistics() {}

    void SetSampleRate(int rate);
    void SetBufferSize(int frames);
    void KyStart();
    // Returns once no block renders a tone of this player and none will until the next start.
    void KyStop();
    bool IsAudioRunning() const { return audioRunning_.load(std::memory_order_acquire); }
    // Set by the plug-in before each block: voices of a host that renders offline wait for the
    // disk instead of running dry.
    void SetRenderingOffline(bool offline) { offline_.store(offline, std::memory_order_relaxed); }
    bool RendersOffline() const { return offline_.load(std::memory_order_relaxed); }
    bool IsMidiRunning() const { return midiRunning_.load(std::memory_order_acquire); }

    // Takes the tone; refused (and destroyed) when the rack is full. Only before processing;
    // a listed player may meanwhile be visited by the loader, which then finds the tone whole.
    bool AddTone(std::unique_ptr<KyToneBase> tone);
    // Stops everything and destroys the tones; only after the host has stopped processing.
    virtual void RemoveTones();
    int ToneCount() const { return toneCount_.load(std::memory_order_acquire); }
    KyToneBase* Tone(int index) const;

    void SetPath(const char* path);
    const std::string& Path() const { return path_; }

    // Returns once no post to the earlier editor is under way, so that one may go right after.
    void SetEditor(KyEditor* editor);
    KyEditor* Editor() const { return editor_.load(std::memory_order_acquire); }
    // Any thread; false when there is no editor or its queue is full.
    bool PostToEditor(const KyEditorEvent& event);
    bool IsModified() const;
    // Counts the user's changes to what the host keeps of the rack (edits through the editor,
    // a performance opened or a new one made there, loads those changes asked for). The
    // plug-in tells the host when the count moved; restoring the host's own state never moves
    // it. Any thread, never blocking.
    void NoteStateChanged() { stateChanges_.fetch_add(1, std::memory_order_release); }
    std::uint32_t StateChanges() const { return stateChanges_.load(std::memory_order_acquire); }

    // Opens or closes the player's debug file on the desktop; answers whether it is open now.
    bool ToggleLog();
    bool LogFileOpen() const { return logFile_ != nullptr; }

    // Host state: the bytes OnSave writes, carried through a temporary file. SaveToMemory
    // answers the chunk size (0 on failure); the bytes stay in Chunk() until the next save.
    virtual std::size_t SaveToMemory();
    virtual void LoadFromMemory(const void* data, std::size_t size);

    KyAudioGate& Gate() { return gate_; }

protected:
    // Audio thread, at the end of a rendered block while it still holds the gate.
    virtual void OnRendered() {}

private:
    std::string TemporaryChunkPath() const;
    template <typename Call>
    void Route(int channel, Call&& call);

    static std::atomic<float> sampleRate_;

    // The list's, under its mutex.
    KyPlayer* previous_ = nullptr;
    KyPlayer* next_ = nullptr;
    bool listed_ = false;
    std::uint64_t serial_ = 0;
    int visits_ = 0;
    std::atomic<bool> leaving_ {false};
    std::atomic<KyEditor*> editor_ {nullptr};
    std::atomic<int> posting_ {0};  // posts to the editor under way
    std::string path_;
    std::atomic<bool> midiRunning_ {false};
    std::atomic<bool> audioRunning_ {false};
    std::atomic<bool> offline_ {false};
    std::atomic<std::uint32_t> stateChanges_ {0};
    std::array<std::unique_ptr<KyToneBase>, kMaxTones> tones_ {};
    // Published after the tone it counts (AddTone), for a loader that visits meanwhile.
    std::atomic<int> toneCount_ {0};
    std::FILE* logFile_ = nullptr;
    KyAudioGate gate_;
    std::mutex control_;  // serialises KyStart/KyStop/RemoveTones between control threads
};
