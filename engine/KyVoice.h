// One sounding zone of one note. Voices are created once, live in the player's free pool and
// move to a tone's list while they sound; only the audio thread touches them (a control thread
// does so only while it holds the rendering for itself).
#pragma once

#include <cstdint>

class GigaPart;
class GigaRegion;
class GigaZone;
class KyBufferList;
class KyTone;

class KyVoice {
public:
    enum State : std::int32_t {
        kPlaying = 0,    // attack, decay or sustain
        kHeld = 1,       // released while the sustain pedal was down
        kRelease = 2,    // release starts at the next render
        kKill = 3,       // fast release starts at the next render
        kReleasing = 4,  // release running
        kEnded = 5,      // produced fewer frames than asked, or never started
    };

    KyVoice() = default;
    KyVoice(const KyVoice&) = delete;
    KyVoice& operator=(const KyVoice&) = delete;
    virtual ~KyVoice() = default;

    // Gives up the voice's disk stream, if it has one.
    virtual void ReleaseStream() {}
    // Prepares the sound of the zone; called by Initialise.
    virtual void Start() {}
    // Renders `frames` frames into the buses (none: advance silently), starting at frame
    // `offset` of a block of `blockFrames`; answers the frames made.
    virtual int Render(KyBufferList* outputs, int offset, int frames, int blockFrames) = 0;
    // Release-trigger voices sound softer the longer the released note played.
    virtual void ScaleVelocityGain(float factor) {}

    void Initialise(int key, int velocity, int frameOffset, GigaZone* zone, KyTone* tone,
                    GigaPart* layer);
    // Note-off at frame `offset` of the coming block: the release begins there.
    void RequestRelease(int offset = 0)
    {
        releaseRequested_ = true;
        releaseAt_ = offset;
    }
    // A fast fade, from frame `offset` of the coming block (at once when 0).
    void Kill(int offset = 0);
    // The per-block wrapper: starts a new voice at its frame, applies a pending release or cut
    // at its frame and the pedal, renders, and marks the voice ended when it produced less than
    // asked. Answers the frame of the block the voice reached (`frames` while it sounds).
    int Block(KyBufferList* outputs, int frames);

    State GetState() const { return state_; }
    void SetState(State state) { state_ = state; }
    int Key() const { return key_; }
    int Velocity() const { return velocity_; }
    int KeyOffset() const { return keyOffset_; }
    void SetKeyOffset(int offset) { keyOffset_ = offset; }
    GigaRegion* Region() const { return region_; }
    void SetRegion(GigaRegion* region) { region_ = region; }
    KyTone* Tone() const { return tone_; }
    GigaZone* Zone() const { return zone_; }
    GigaPart* Layer() const { return layer_; }
    int FramesPlayed() const { return framesPlayed_; }
    bool ReleaseRequested() const { return releaseRequested_; }

private:
    friend class KyVoiceList;

    KyTone* tone_ = nullptr;
    GigaZone* zone_ = nullptr;
    GigaPart* layer_ = nullptr;
    int key_ = 0;
    int velocity_ = 0;
    int keyOffset_ = 0;
    State state_ = kEnded;
    KyVoice* next_ = nullptr;
    int framesPlayed_ = 0;
    bool releaseRequested_ = false;
    int startAt_ = 0;    // frame of the first block where the note begins
    int releaseAt_ = 0;  // frame of the coming block where a requested release begins
    int killAt_ = -1;    // frame of the coming block where a requested cut begins; -1 none
    GigaRegion* region_ = nullptr;
};
