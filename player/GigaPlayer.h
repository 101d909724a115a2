// The player of this program: the rack whose tones play .gig instruments.
#pragma once

#include <atomic>
#include <memory>

#include "player/KyPlayer.h"

class GigaPlayer : public KyPlayer {
public:
    static constexpr std::size_t kScratchBytes = 0x20000;  // shared mixing space of the tones

    GigaPlayer();
    ~GigaPlayer() override;

    void OnInit() override;

    float* Scratch() const { return scratch_.get(); }
    bool IsLoading() const { return loading_.load(std::memory_order_acquire); }

private:
    std::unique_ptr<float[]> scratch_;
    std::atomic<bool> loading_ {false};
};
