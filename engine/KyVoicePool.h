// The voices a player owns for its whole life: made once, side by side, and lent to its tones
// through the free list (first in, first out). The tones hand theirs back before the pool goes;
// lists only link voices, the pool alone owns them.
#pragma once

#include <cstddef>
#include <memory>

#include "engine/KyVoiceList.h"

template <class Voice>
class KyVoicePool {
public:
    explicit KyVoicePool(int count)
        : count_(count), voices_(std::make_unique<Voice[]>(static_cast<std::size_t>(count)))
    {
        for (int i = 0; i < count_; ++i) free_.Append(&voices_[static_cast<std::size_t>(i)]);
    }
    KyVoicePool(const KyVoicePool&) = delete;
    KyVoicePool& operator=(const KyVoicePool&) = delete;

    // The idle voices, for KyTone::SetVoicePool.
    KyVoiceList& Free() { return free_; }
    const KyVoiceList& Free() const { return free_; }
    int Size() const { return count_; }
    Voice& operator[](int index) { return voices_[static_cast<std::size_t>(index)]; }

private:
    int count_;
    std::unique_ptr<Voice[]> voices_;
    KyVoiceList free_;  // goes before the voices it links
};
