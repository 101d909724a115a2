#include "engine/KyVoice.h"

#include <algorithm>

#include "engine/KyTone.h"

void KyVoice::Initialise(int key, int velocity, int frameOffset, GigaZone* zone, KyTone* tone,
                         GigaPart* layer)
{
    key_ = key;
    velocity_ = velocity;
    zone_ = zone;
    tone_ = tone;
    layer_ = layer;
    keyOffset_ = 0;
    region_ = nullptr;
    state_ = kPlaying;
    framesPlayed_ = 0;
    releaseRequested_ = false;
    // The note sounds from its own frame of the block, not from the block's start.
    startAt_ = std::max(frameOffset, 0);
    releaseAt_ = 0;
    killAt_ = -1;
    Start();
}

void KyVoice::Kill(int offset)
{
    if (offset <= 0) {
        state_ = kKill;
        killAt_ = -1;
        return;
    }
    killAt_ = killAt_ < 0 ? offset : std::min(killAt_, offset);
}

int KyVoice::Block(KyBufferList* outputs, int frames)
{
    // Offsets outside the block (a careless host) are taken as its last frame.
    int position = std::min(startAt_, frames - 1);
    startAt_ = 0;
    const auto play = [&](int until) {
        const int wanted = until - position;
        if (wanted <= 0) return true;
        const int made = Render(outputs, position, wanted, frames);
        framesPlayed_ += made;
        position += made;
        if (made == wanted) return true;
        state_ = kEnded;
        return false;
    };

    // A note-off or a cut inside the block: the voice plays on up to that frame.
    if (releaseRequested_ || killAt_ >= 0) {
        int at = frames;
        if (releaseRequested_) at = std::min(at, releaseAt_);
        if (killAt_ >= 0) at = std::min(at, killAt_);
        if (!play(std::clamp(at, position, frames))) return position;
    }
    const bool sustain = tone_ && tone_->Sustain();
    if (releaseRequested_) {
        releaseRequested_ = false;
        // A voice already fading for good keeps doing so.
        if (state_ == kPlaying || state_ == kHeld) state_ = sustain ? kHeld : kRelease;
    }
    if (killAt_ >= 0) {
        killAt_ = -1;
        if (state_ != kEnded) state_ = kKill;
    }
    if (state_ == kHeld && !sustain) state_ = kRelease;
    play(frames);
    return position;
}
