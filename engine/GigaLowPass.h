// The voice's two-pole low-pass: a biquad whose coefficients come from one normalised cutoff
// (0..1) by a closed formula; no resonance control. Up to two channels, interleaved. The formula
// is tuned for 44.1 kHz; at other rates the response is moved so that its corner lies where it
// does at 44.1 kHz in Hz, and an instrument sounds the same at any host rate.
#pragma once

#include <array>

class GigaLowPass {
public:
    static constexpr int kMaxChannels = 2;
    // Below this cutoff the coefficients are left as they are (the voice silences instead).
    static constexpr float kMinimumCutoff = 0.0005f;

    struct Coefficients {
        float a1 = 0.0f, a2 = 0.0f, b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
    };

    static constexpr float kReferenceRate = 44100.0f;

    // The coefficients for `cutoff` at host rate `sampleRate`.
    static Coefficients Compute(float cutoff, float sampleRate = kReferenceRate);

    // The host rate the next cutoffs are computed for.
    void SetSampleRate(float sampleRate) { sampleRate_ = sampleRate; }
    // Recomputes the coefficients; false (nothing changed) below kMinimumCutoff.
    bool SetCutoff(float cutoff);
    const Coefficients& Get() const { return c_; }
    void Clear() { history_ = {}; }
    // Filters `frames` interleaved frames of `channels` (1 or 2) in place.
    void Process(float* samples, int frames, int channels);

private:
    Coefficients c_;
    float sampleRate_ = kReferenceRate;
    // Per channel: x[n-1], x[n-2], y[n-1], y[n-2].
    std::array<std::array<float, 4>, kMaxChannels> history_ {};
};
