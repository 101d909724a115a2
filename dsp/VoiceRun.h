// A voice's whole per-frame path in one pass: linear interpolation of a float source at 32.32
// positions (or the source frames as they are), the optional two-pole low-pass per channel, the
// step gains and pan, and the mix into a stereo bus. Each frame's arithmetic is that of
// InterpolateFloat, BiquadRun and MixSteps, in the same order, so the fused pass and the three
// kernels run one after another give the same bits; but nothing is stored between them, and
// the filter's serial recurrence overlaps with the other work of the next frames.
#pragma once

#include "dsp/LowPass.h"
#include "dsp/Mix.h"
#include "dsp/Position.h"

namespace dsp {

struct VoiceRun {
    // The source, interleaved, 1 or 2 channels. Resampled: output frame j reads frames k and
    // k+1 at position + j x step (positions relative to `source`). Straight: output frame j is
    // source frame j.
    const float* source = nullptr;
    int channels = 1;
    bool resample = false;
    Position position = 0;
    Position step = kPositionOne;
    // The filter: none when `coefficients` is null; `state` one per channel. A closed filter
    // takes silence in (its memory still runs down). The state is forgotten below 1e-15 at the
    // end of the run, as BiquadRun does.
    const BiquadCoefficients* coefficients = nullptr;
    BiquadState* state = nullptr;
    bool closed = false;
    // Gains and pan, as MixSteps takes them, and the bus.
    StepGains gains;
    float* left = nullptr;
    float* right = nullptr;
    int frames = 0;
};

// Answers the position after the run.
Position RenderVoiceRun(const VoiceRun& run);
// The same through the reference kernels, one after another, with a buffer between them.
Position RenderVoiceRunReference(const VoiceRun& run);

}  // namespace dsp
