// The sound of one .gig zone for one note: fixes gains, pan, pitch, envelope and filter at the
// start, then every block reads source frames (the sample's preloaded head, then its disk
// stream), resamples them linearly, applies envelope and controller level per 8-frame step,
// filters and mixes them, panned, into the tone's output bus. Audio thread only, except
// AttachStream and RequestedSample, which the disk thread calls as the voice's GigaStreamClient.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "dsp/Position.h"
#include "engine/GigaEnvelope.h"
#include "engine/GigaLowPass.h"
#include "engine/KyVoice.h"
#include "stream/GigaStreamPort.h"

class GigaSample;
class GigaStream;
class GigaTone;
class GigaZone;

class GigaVoice : public KyVoice, public GigaStreamClient {
public:
    static constexpr int kMaxBlockFrames = 4096;
    static constexpr int kMaxSteps = kMaxBlockFrames / GigaEnvelope::kFramesPerStep;
    // Far beyond any musical use (36 semitones, rate conversion and a wide bend); it keeps a
    // block's source frames within the scratch buffer.
    static constexpr double kMaxPitchRatio = 64.0;

    // How a voice reaches the disk thread (see GigaStreamPort); these names stay for its users.
    using StreamPort = GigaStreamPort;
    static void SetStreamPort(const StreamPort* port) { GigaStreamPort::SetCurrent(port); }

    GigaVoice() = default;
    ~GigaVoice() override;

    void Start() override;
    int Render(KyBufferList* outputs, int offset, int frames, int blockFrames) override;
    void ReleaseStream() override;

    void ScaleVelocityGain(float factor) override { velocityGain_ *= factor; }

    // Disk thread: the sample a pending stream request is for (null when none is pending), and
    // the hand-over of a stream started on `sample`. A stream that arrives after the voice has
    // ended or moved on is marked finished at once; answers whether the voice took it. Final, so
    // the voice's own calls need no virtual dispatch.
    const GigaSample* RequestedSample() const final;
    bool AttachStream(GigaStream* stream, const GigaSample* sample) final;

    // State for tests and statistics.
    const GigaEnvelope& Envelope() const { return envelope_; }
    double PitchRatio() const { return pitchRatio_; }
    double BaseRatio() const { return baseRatio_; }
    float VelocityGain() const { return velocityGain_; }
    float AttenuationGain() const { return attenuationGain_; }
    float VolumeFactor() const { return volumeFactor_; }
    float LeftGain() const { return leftGain_; }
    float RightGain() const { return rightGain_; }
    int Pan() const { return pan_; }
    bool FilterUsed() const { return filterUsed_; }
    float Cutoff() const { return cutoff_; }
    int StreamTrigger() const { return streamTrigger_; }
    bool HasStream() const { return CurrentStream() != nullptr; }
    double Position() const { return dsp::ToDouble(position_); }

private:
    // The stream word: 0, a GigaStream*, or a pending request (the sample's address | 1).
    static constexpr std::uintptr_t kPendingBit = 1;

    GigaTone& GetTone() const;
    const GigaZone& GetZone() const;
    void StartGains();
    void StartEnvelope();
    void StartSource();
    void StartPitch();
    void StartFilter();
    double BendRatio(int bend) const;
    int AttenuationControllerValue() const;
    int CutoffControllerValue() const;

    // One piece of a block in control steps: `lead` frames finish the step begun before, then
    // `steps` whole steps, then `tail` frames begin a new one.
    struct Steps {
        int lead = 0;
        int steps = 0;
        int tail = 0;
        int Fresh() const { return steps + (tail > 0 ? 1 : 0); }
        int Frames() const;
    };

    int RenderChunk(KyBufferList* outputs, int offset, int frames, int blockFrames);
    void ApplyBend();
    // Sets the output frame at which the stream is asked for: half a second before the head,
    // from where the voice reads now and at the ratio it plays now, runs out.
    void ArmStreamTrigger();
    // Asks once the trigger has come (or `now`); a refused request is made again next time.
    void AskForStream(bool now = false);
    bool RendersOffline() const;
    int ChunkLimit() const;
    // Source frames into the output buffer; answers the frames made, 0 to end the voice.
    int ReadSource(int frames);
    int ReadLooped(int frames);
    int ReadLoopedResampled(int frames);
    int ReadDirect(int frames);
    int ReadResampled(int frames);
    void CopyLooped(float* dst, int frame, int count) const;
    bool FetchSequential(float* dst, int count);
    // Envelope x level into the step gains; answers the steps made.
    int RunLevel(int steps, bool& levelChanged);
    // The cutoff's glide over a piece's fresh steps after a controller move: answers the change
    // per step (0 when steady) and sets `target`.
    float CutoffGlide(int fresh, float& target);
    // Interpolates, filters, applies the step gains and pan and mixes into the bus, in one pass
    // per run of steady filter coefficients (dsp::RenderVoiceRun).
    void Play(KyBufferList& outputs, int offset, const Steps& span, float leadGain,
              int blockFrames);
    // Without a bus the filter's memory still moves on: the source is interpolated into the
    // output buffer and filtered there.
    void FilterUnmixed(const Steps& span);

    GigaStream* CurrentStream() const;

    GigaEnvelope envelope_;
    GigaLowPass filter_;

    float velocityGain_ = 0.0f;
    int attenuationValue_ = 0;
    float attenuationGain_ = 1.0f;
    int volume_ = 0;
    float volumeFactor_ = 0.0f;
    int pan_ = 0;
    float leftGain_ = 0.0f;
    float rightGain_ = 0.0f;
    std::array<float, kMaxSteps> stepGains_ {};
    int stepPhase_ = 0;      // frames played of the current control step
    float stepGain_ = 0.0f;  // that step's gain

    float filterVelocityFactor_ = 0.0f;
    float cutoff_ = 0.0f;
    int cutoffValue_ = 0;
    bool filterUsed_ = false;

    const GigaSample* sample_ = nullptr;
    const std::int16_t* head_ = nullptr;
    int channels_ = 0;
    int startFrame_ = 0;
    int endFrame_ = 0;
    int preloadFrames_ = 0;
    bool looped_ = false;
    int loopStart_ = 0;
    int loopEnd_ = 0;
    int readFrame_ = 0;  // next frame to copy, looped and unshifted
    int nextFetch_ = 0;  // next frame of the head-then-stream sequence
    std::atomic<std::uintptr_t> streamWord_ {0};

    float* outputBuffer_ = nullptr;
    float* sourceBuffer_ = nullptr;
    int sourceFrame_ = 0;
    std::array<float, 2 * GigaLowPass::kMaxChannels> history_ {};
    bool haveHistory_ = false;
    int streamTrigger_ = 0;
    dsp::Position position_ = 0;  // 32.32 fixed point: exact however long the voice loops
    dsp::Position step_ = dsp::kPositionOne;  // pitchRatio_ in 32.32
    // What the piece being rendered reads: the source and, resampled, the position in it of
    // its first frame (fixed point, relative to `runSource_`).
    const float* runSource_ = nullptr;
    dsp::Position runPosition_ = 0;
    double pitchRatio_ = 1.0;
    bool resampling_ = false;
    double baseRatio_ = 1.0;
    int lastBend_ = 0;
    bool playable_ = false;
};
