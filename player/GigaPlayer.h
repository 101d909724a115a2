// The player of this program: the rack whose tones play .gig instruments.
#pragma once

#include <atomic>
#include <memory>

#include "engine/KyVoiceList.h"
#include "player/KyPlayer.h"

class GigaPlayer : public KyPlayer {
public:
    static constexpr std::size_t kScratchBytes = 0x20000;  // shared mixing space of the tones
    static constexpr int kVoices = 256;
    static constexpr const char* kPreferencesName = "marlet";

    GigaPlayer();
    ~GigaPlayer() override;

    void OnInit() override;
    // The background loader's step: stops the player, loads every tone that asks for it and
    // starts the player again; tells the editor with 'KyTL'.
    bool LoadTones() override;
    // Tones release their programs: never while the loader reads their banks.
    void RemoveTones() override;

    float* Scratch() const { return scratch_.get(); }
    // Voices not sounding right now (the pool is the audio thread's: read it only while the
    // player is stopped).
    int IdleVoices() const { return voices_.Count(); }
    bool IsLoading() const { return loading_.load(std::memory_order_acquire); }

private:
    KyVoiceList voices_;  // the idle voices; the tones return theirs before it goes
    std::unique_ptr<float[]> scratch_;
    std::atomic<bool> loading_ {false};
};
