// A singly linked list of voices through their own links: the player's free pool (first in,
// first out, so the voice that ended longest ago is reused first) and each tone's list of
// sounding voices. A list links voices and owns none (KyVoicePool owns them).
#pragma once

#include "engine/KyVoice.h"
#include "platform/QelLog.h"

class KyVoiceList : public QelLog {
public:
    KyVoiceList() = default;
    KyVoiceList(const KyVoiceList&) = delete;
    KyVoiceList& operator=(const KyVoiceList&) = delete;

    void Append(KyVoice* voice);
    KyVoice* TakeFirst();
    // Unlinks the voice; false when it is not in this list.
    bool Remove(KyVoice* voice);
    // Kept as the list changes: the player asks after every block, and walking the free list
    // there touched every idle voice's memory.
    int Count() const { return count_; }
    bool Empty() const { return head_ == nullptr; }
    KyVoice* Head() const { return head_; }
    static KyVoice* Next(const KyVoice* voice) { return voice->next_; }

private:
    KyVoice* head_ = nullptr;
    KyVoice* tail_ = nullptr;
    int count_ = 0;
};
