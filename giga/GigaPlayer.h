// The player of this program: the rack whose tones play .gig instruments.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <ios>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "engine/GigaToneFacts.h"
#include "engine/KyVoicePool.h"
#include "player/KyPlayer.h"

class GigaVoice;

class CExpRiff;
class CImpRiff;
class GigaTone;
class GigaToneDoor;
class GigaToneEdit;

class GigaPlayer : public KyPlayer {
public:
    static constexpr int kVoices = 256;
    static constexpr const char* kPreferencesName = "marlet";
    static constexpr int kLoadingPollMs = 50;
    // Larger files are no performance (a full rack is a few hundred kilobytes at most).
    static constexpr std::streamoff kMaxPerformanceBytes = 64 << 20;

    // Joins the player list as the constructor's last step. A class derived from this one
    // passes kWhenWhole and joins at the end of its own constructor (see KyPlayer::Listing).
    GigaPlayer();
    explicit GigaPlayer(Listing listing);
    ~GigaPlayer() override;

    void OnInit() override;
    // The background loader's step: stops the player, takes up a rack the host gave meanwhile,
    // loads every tone that asks for it and starts the player again; tells the editor with
    // 'KyTL'. A player that is leaving is left at the next step.
    bool LoadTones() override;
    // A new rack waits for the loader, or the player is leaving: the load under way is moot.
    bool LoadAbandoned() const override;
    // Tones release their programs: never while the loader reads their banks.
    void RemoveTones() override;

    // Performances by path for the host's state: OnLoad waits for an earlier background load,
    // reads, and starts loading the instruments; true whenever the file opened.
    bool OnSave(const std::string& path) override;
    bool OnLoad(const std::string& path) override;
    // The performance writer and reader; the reader answers false when the file is not a
    // performance, and then nothing has changed.
    bool OnSave(CExpRiff& writer);
    bool OnLoad(CImpRiff& reader);
    // The editor's file commands. Load leaves starting the instruments to the caller
    // (RequestLoading) and never waits for a load pass: while one runs, the rack is kept for the
    // loader's next step; false when the file is not a performance, and then nothing has
    // changed. Save with an empty path writes to the current performance path.
    bool Load(const std::string& path);
    // Load with the file read already (the editor reads on a thread of its own).
    bool Load(const std::string& path, std::span<const std::byte> bytes);
    // A performance file read whole; false when it cannot be read, is empty or is larger than
    // any performance.
    static bool ReadPerformanceFile(const std::string& path, std::vector<std::byte>& bytes);
    bool Save(const std::string& path = {});
    // Empties the rack and forgets the performance path.
    void NewPerformance();
    // Host state without a temporary file: the performance bytes are made and read in memory.
    // Neither waits for a load: a state given while this player's instruments load is kept as
    // it came and read by the loader at its next step (until then it is also the state saved).
    std::size_t SaveToMemory() override;
    void LoadFromMemory(const void* data, std::size_t size) override;
    // Any thread: tone `index` as it stands (empty facts for no such tone), never waiting.
    GigaToneFacts ToneFacts(int index) const;
    void Statistics() override;
    void WaitForDiskIdle() override;

    // Marks a background load as running and wakes the loader when a tone asks for loading;
    // answers whether it did.
    bool RequestLoading();
    // Returns once no background load asked for by this player runs any more.
    void WaitWhileLoading() const;
    GigaTone* Giga(int index) const;
    // The editor's door to the same tone (GigaToneDoor: the user's edits through it mark the
    // tone modified and count as changes of the host's state); null when there is no .gig tone
    // at `index`. The door lives as long as the player.
    GigaToneEdit* ToneEdit(int index) const;

    float* Scratch() const { return scratch_.get(); }
    // Any thread: the voices sounding at the end of the last rendered block.
    int VoicesInUse() const { return voicesInUse_.load(std::memory_order_relaxed); }
    bool IsLoading() const
    {
        return loadsDone_.load(std::memory_order_acquire) <
               loadRequests_.load(std::memory_order_acquire);
    }

protected:
    void OnRendered() override;

private:
    // The bank manager's pass: every listed player's loading step.
    static void RunLoadPass();
    // Reads a performance into the rack; asks for loading after it.
    bool ReadPerformance(CImpRiff& reader);
    // Reads a performance from memory now (and asks for loading its instruments when
    // `startLoading`), or keeps it for the loader's next step when a load runs; false when the
    // bytes are no performance.
    bool TakeRack(const void* data, std::size_t size, bool startLoading);
    void AskForLoadPass();
    // Loading thread, player stopped: reads the rack the host gave last.
    void TakeUpPendingRack();
    // Loading thread: lets the disk thread run `passes` passes; false when the player leaves.
    bool AwaitDiskPasses(int passes) const;

    // The player's voices, made at its start; the tones return theirs before they go.
    std::unique_ptr<KyVoicePool<GigaVoice>> voices_;
    std::unique_ptr<float[]> scratch_;
    // Load passes asked for and passes that visited this player since (IsLoading).
    std::atomic<std::uint64_t> loadRequests_ {0};
    std::atomic<std::uint64_t> loadsDone_ {0};
    // Held while the loader takes up a rack and while a new performance empties the rack, so
    // that neither lands in the middle of the other.
    std::mutex rackMutex_;
    // The host state given while loading, kept for the loader (guarded by pendingMutex_).
    mutable std::mutex pendingMutex_;
    std::vector<char> pendingRack_;
    std::uint64_t pendingGeneration_ = 0;
    std::atomic<bool> rackPending_ {false};
    std::atomic<int> voicesInUse_ {0};
    // The editor's doors, made when first asked for.
    mutable std::mutex doorMutex_;
    mutable std::array<std::unique_ptr<GigaToneDoor>, kMaxTones> doors_;
};
