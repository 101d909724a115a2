#include "engine/GigaEnvelope.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kLinearFloor = 0.2f;  // the linear release hands over to the tail here
constexpr float kTailStart = 0.01f;   // below this a release has nothing left to fade
constexpr float kSilent = 0.002f;     // the tail ends here
constexpr float kFastRelease = 0.1f;  // seconds
// Times and levels come from files and performances and may be anything; the envelope keeps to
// finite ones within reach, so that its step counts always fit.
constexpr float kLongestStage = 600.0f;  // seconds
constexpr float kMostSteps = 1.0e9f;

float Seconds(float t)
{
    return std::isfinite(t) ? std::clamp(t, 0.0f, kLongestStage) : 0.0f;
}

float Bounded(float v, float low, float otherwise)
{
    return std::isfinite(v) ? std::clamp(v, low, 1.0f) : otherwise;
}

// How far a controller value of 0..1 moves a time with influence `influence`.
float Influence(float e, int influence)
{
    if (influence > 0) return e * static_cast<float>(influence);
    if (influence < 0) return (e - 1.0f) * static_cast<float>(influence);
    return 0.0f;
}

int StepCount(float steps)
{
    // A stage that is entered always lasts at least one step, so its rate stays finite.
    if (!(steps >= 1.0f)) return 1;
    return static_cast<int>(std::min(steps, kMostSteps));
}

}  // namespace

void GigaEnvelope::Start(const Settings& s, int controller, float sampleRate)
{
    controlRate_ = sampleRate / kFramesPerStep;
    preAttack_ = Bounded(s.preAttack, 0.0f, 0.0f);
    const float e = static_cast<float>(controller) / 127.0f;
    const float attack = Seconds(s.attack + Influence(e, s.attackInfluence) * 0.3f);
    float decay = Seconds(s.decay + Influence(e, s.decayInfluence) * 0.9f);
    float release = Seconds(s.release + Influence(e, s.releaseInfluence) * 0.9f);
    const float sustain = Bounded(s.sustain, 0.001f, 1.0f);
    if (sustain < 1.0f && decay < 0.01f) decay = 0.01f;
    release = std::max(release, 0.03f);
    attack_ = attack * 0.69f;
    decay_ = decay * 1.18f;
    sustain_ = sustain;
    release_ = release * 0.55f;
    Enter(kAttack);
}

void GigaEnvelope::Release()
{
    if (stage_ == kFinished) return;
    Enter(kReleaseLinear);
}

void GigaEnvelope::FastRelease()
{
    if (stage_ == kFinished) return;
    release_ = kFastRelease;
    steps_ = StepCount(controlRate_ * kFastRelease * 1.2f);
    Enter(kReleaseTail);
}

void GigaEnvelope::Enter(Stage stage)
{
    switch (stage) {
        case kAttack:
            if (attack_ > 0.0f) {
                stage_ = kAttack;
                level_ = preAttack_;
                steps_ = StepCount(attack_ * controlRate_);
                rate_ = (1.0f - level_) / static_cast<float>(steps_);
                return;
            }
            [[fallthrough]];
        case kDecay:
            if (decay_ > 0.01f && sustain_ < 1.0f) {
                stage_ = kDecay;
                level_ = 1.0f;
                steps_ = StepCount(decay_ * controlRate_);
                // A per-step factor that lands near the sustain level after the decay time; kept
                // from going negative at very low control rates.
                rate_ = std::max(0.0f, std::log(sustain_) / (decay_ * controlRate_ + 1.0f) + 1.0f);
                return;
            }
            [[fallthrough]];
        case kSustain:
            stage_ = kSustain;
            level_ = sustain_;
            return;
        case kReleaseLinear: {
            const float c = release_ * controlRate_;
            steps_ = StepCount(c * 2.2f);
            if (level_ >= kLinearFloor) {
                stage_ = kReleaseLinear;
                rate_ = (level_ - kLinearFloor) / (c + 1.0f);
                return;
            }
            [[fallthrough]];
        }
        case kReleaseTail:
            if (level_ < kTailStart) {
                stage_ = kFinished;
                return;
            }
            stage_ = kReleaseTail;
            rate_ = std::max(
                0.0f,
                (std::log(0.001f) - std::log(level_)) / (release_ * controlRate_ + 1.0f) + 1.0f);
            return;
        case kFinished:
            stage_ = kFinished;
            return;
    }
}

void GigaEnvelope::Step()
{
    switch (stage_) {
        case kAttack:
            level_ += rate_;
            if (--steps_ <= 0) Enter(kDecay);
            break;
        case kDecay:
            level_ *= rate_;
            if (--steps_ <= 0) Enter(kSustain);
            break;
        case kSustain:
        case kFinished:
            break;
        case kReleaseLinear: {
            // The release counts its steps over both parts; the tail gets what is left.
            const float next = level_ - rate_;
            if (next >= kLinearFloor) {
                level_ = next;
                --steps_;
                break;
            }
            Enter(kReleaseTail);
            if (stage_ != kReleaseTail) break;
            [[fallthrough]];
        }
        case kReleaseTail:
            if (steps_ <= 0) {
                stage_ = kFinished;
                break;
            }
            level_ *= rate_;
            --steps_;
            if (level_ < kSilent) stage_ = kFinished;
            break;
    }
}

int GigaEnvelope::Run(float* gains, int steps, float fromGain, float toGain)
{
    if (steps <= 0) return 0;
    const float delta = steps > 1 ? (toGain - fromGain) / static_cast<float>(steps - 1) : 0.0f;
    float gain = steps > 1 ? fromGain : toGain;
    int i = 0;
    while (i < steps) {
        // Steps inside a stage run in a plain loop with the same arithmetic as Step(); a
        // stage's last step takes the general path, which moves on to the next stage.
        float level = level_;
        int left = steps_;
        const float rate = rate_;
        switch (stage_) {
            case kSustain:
                for (; i < steps; ++i, gain += delta) gains[i] = gain * level;
                return steps;
            case kAttack:
                for (; i < steps && left > 1; ++i, --left, gain += delta) {
                    level += rate;
                    gains[i] = gain * level;
                }
                break;
            case kDecay:
                for (; i < steps && left > 1; ++i, --left, gain += delta) {
                    level *= rate;
                    gains[i] = gain * level;
                }
                break;
            case kReleaseLinear:
                for (; i < steps && level - rate >= kLinearFloor; ++i, --left, gain += delta) {
                    level -= rate;
                    gains[i] = gain * level;
                }
                break;
            case kReleaseTail:
                for (; i < steps && left > 0 && level * rate >= kSilent;
                     ++i, --left, gain += delta) {
                    level *= rate;
                    gains[i] = gain * level;
                }
                break;
            default:
                break;
        }
        level_ = level;
        steps_ = left;
        if (i == steps) break;
        Step();
        if (stage_ == kFinished) return i;
        gains[i] = gain * level_;
        gain += delta;
        ++i;
    }
    return steps;
}
