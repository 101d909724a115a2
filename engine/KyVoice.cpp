#include "engine/KyVoice.h"

#include "engine/KyTone.h"

void KyVoice::Initialise(int key, int velocity, int frameOffset, KyZone* zone, KyTone* tone,
                         GigaPart* layer)
{
    // Every voice sounds from the start of its first block: the frame offset does not delay it.
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
    Start();
}

int KyVoice::Block(KyBufferList* outputs, int frames)
{
    const bool sustain = tone_ && tone_->Sustain();
    if (releaseRequested_) {
        releaseRequested_ = false;
        // A voice already fading for good keeps doing so.
        if (state_ == kPlaying || state_ == kHeld) state_ = sustain ? kHeld : kRelease;
    }
    if (state_ == kHeld && !sustain) state_ = kRelease;
    const int produced = Render(outputs, frames);
    framesPlayed_ += produced;
    if (produced < frames) state_ = kEnded;
    return produced;
}
