// Gains and mixing into a stereo bus. Gains move in control steps of 8 frames: a run's first
// step may be partial (`firstFrames`, 1..8), every later one is whole but the last. A frame of
// step i adds gains[i] x pan x sample to each side; mono feeds both sides, stereo left to left
// and right to right.
#pragma once

namespace dsp {

constexpr int kStepFrames = 8;

struct StepGains {
    const float* gains = nullptr;   // one per step of the run
    int firstFrames = kStepFrames;  // frames of the first step
    float panLeft = 1.0f;
    float panRight = 1.0f;
};

// left[i] += (gain x panLeft) x x(i), right likewise; `channels` 1 or 2, `x` interleaved.
void MixSteps(const float* x, int channels, const StepGains& g, float* left, float* right,
              int frames);
void MixStepsReference(const float* x, int channels, const StepGains& g, float* left, float* right,
                       int frames);

// A linear gain ramp in place: frame j is scaled by from + j x (to - from) / frames.
void ApplyGainRamp(float* x, int channels, int frames, float from, float to);
void ApplyGainRampReference(float* x, int channels, int frames, float from, float to);

}  // namespace dsp
