#include "engine/KyVoiceList.h"

void KyVoiceList::Append(KyVoice* voice)
{
    if (!voice) return;
    voice->next_ = nullptr;
    if (tail_)
        tail_->next_ = voice;
    else
        head_ = voice;
    tail_ = voice;
    ++count_;
}

KyVoice* KyVoiceList::TakeFirst()
{
    KyVoice* voice = head_;
    if (!voice) return nullptr;
    head_ = voice->next_;
    if (!head_) tail_ = nullptr;
    voice->next_ = nullptr;
    --count_;
    return voice;
}

bool KyVoiceList::Remove(KyVoice* voice)
{
    KyVoice* previous = nullptr;
    for (KyVoice* v = head_; v; previous = v, v = v->next_) {
        if (v != voice) continue;
        (previous ? previous->next_ : head_) = v->next_;
        if (tail_ == v) tail_ = previous;
        v->next_ = nullptr;
        --count_;
        return true;
    }
    return false;
}
