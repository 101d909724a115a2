// The amplitude envelope of a voice: attack, decay, sustain, a release that falls linearly to 0.2
// and then exponentially, and a fast release for killed voices. It moves once per control step
// (8 output frames) and writes one gain per step.
#pragma once

#include <cstdint>

class GigaEnvelope {
public:
    enum Stage : std::int32_t {
        kFinished = 0,
        kAttack = 1,
        kDecay = 2,
        kSustain = 3,
        kReleaseLinear = 4,
        kReleaseTail = 5,
    };

    static constexpr int kFramesPerStep = 8;

    // A zone's envelope times in seconds (sustain as a level), with the layer's offsets already
    // added, and the controller influences (-3..3).
    struct Settings {
        float preAttack = 0.0f;
        float attack = 0.0f;
        float decay = 0.0f;
        float sustain = 1.0f;
        float release = 0.0f;
        int attackInfluence = 0;
        int decayInfluence = 0;
        int releaseInfluence = 0;
    };

    // Applies the influences of controller value `controller` (0..127), clamps and scales the
    // times, and enters the attack. `sampleRate` is the host rate.
    void Start(const Settings& settings, int controller, float sampleRate);
    // Note-off: the release from the current level.
    void Release();
    // A killed voice: a 0.1 s exponential fade from the current level.
    void FastRelease();

    // Runs `steps` steps, writing gain x level per step, the gain moving from `fromGain` to
    // `toGain` over them. Answers the steps written; fewer than asked means it has finished.
    int Run(float* gains, int steps, float fromGain, float toGain);

    Stage GetStage() const { return stage_; }
    bool Finished() const { return stage_ == kFinished; }
    float Level() const { return level_; }
    // The times in use, after influences, clamps and scaling (seconds).
    float Attack() const { return attack_; }
    float Decay() const { return decay_; }
    float Sustain() const { return sustain_; }
    float ReleaseTime() const { return release_; }

private:
    void Enter(Stage stage);
    void Step();

    float controlRate_ = 44100.0f / kFramesPerStep;
    float preAttack_ = 0.0f;
    float attack_ = 0.0f;
    float decay_ = 0.0f;
    float sustain_ = 1.0f;
    float release_ = 0.0f;
    Stage stage_ = kFinished;
    int steps_ = 0;
    float level_ = 0.0f;
    float rate_ = 0.0f;
};
