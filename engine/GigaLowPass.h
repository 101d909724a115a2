// The voice's two-pole low-pass: a biquad whose coefficients come from one normalised cutoff
// (0..1) by a closed formula; no resonance control. Up to two channels, interleaved. The formula
// is tuned for 44.1 kHz; at other rates the response is moved so that its corner lies where it
// does at 44.1 kHz in Hz, and an instrument sounds the same at any host rate.
#pragma once

#include <array>

#include "dsp/LowPass.h"

class GigaLowPass {
public:
    static constexpr int kMaxChannels = 2;
    // Below this cutoff the coefficients are left as they are (the voice silences instead).
    static constexpr float kMinimumCutoff = 0.0005f;

    using Coefficients = dsp::BiquadCoefficients;

    static constexpr float kReferenceRate = 44100.0f;

    // The coefficients for `cutoff` at host rate `sampleRate`.
    static Coefficients Compute(float cutoff, float sampleRate = kReferenceRate);

    // The host rate the next cutoffs are computed for.
    void SetSampleRate(float sampleRate) { sampleRate_ = sampleRate; }
    // Recomputes the coefficients; false (nothing changed) below kMinimumCutoff.
    bool SetCutoff(float cutoff);
    const Coefficients& Get() const { return c_; }
    void Clear() { history_ = {}; }
    // Filters `frames` interleaved frames of `channels` (1 or 2) in place (dsp::BiquadRun).
    void Process(float* samples, int frames, int channels);
    // The memory, one entry per channel, for kernels that run the filter themselves.
    dsp::BiquadState* State() { return history_.data(); }

private:
    Coefficients c_;
    float sampleRate_ = kReferenceRate;
    std::array<dsp::BiquadState, kMaxChannels> history_ {};
};
