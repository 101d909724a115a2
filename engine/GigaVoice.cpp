#include "engine/GigaVoice.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "dsp/Convert.h"
#include "dsp/Interpolate.h"
#include "dsp/VoiceRun.h"
#include "engine/GigaCrossfade.h"
#include "engine/GigaPart.h"
#include "engine/GigaTone.h"
#include "engine/GigaVelocityCurves.h"
#include "gig/GigaSample.h"
#include "gig/GigaZone.h"
#include "player/KyBufferList.h"
#include "player/KyControllerSources.h"
#include "player/KyPlayer.h"
#include "sample/GigaMemory.h"

namespace {

constexpr double kSemitone = 1.059463094359;
constexpr float kGainScale = 1.256f;
constexpr float kVolumeScale = 1.0f / 20480.0f;
constexpr float kSilentGain = 0.0005f;
constexpr int kStep = GigaEnvelope::kFramesPerStep;
constexpr double kMinPitchRatio = 1.0 / 4096.0;
constexpr int kSourceFloats = static_cast<int>(GigaTone::kScratchFloats / 2);

const GigaStreamPort& Port()
{
    return GigaStreamPort::Current();
}

// A voice started without a layer plays with a default layer's settings.
int LayerVolume(const GigaPart* l)
{
    return l ? l->volume.Get() : 127;
}
int LayerPan(const GigaPart* l)
{
    return l ? l->pan.Get() : 64;
}
int LayerTune(const GigaPart* l)
{
    return l ? l->tune.Get() : 0;
}
int LayerBendRange(const GigaPart* l)
{
    return l ? l->bendRange.Get() : 0;
}
float AmpOffset(const GigaPart* l, GigaPart::AmplifierValue which)
{
    return l ? l->amplifierOffsets[which].Get() : 0.0f;
}
float FilterOffset(const GigaPart* l, GigaPart::FilterValue which)
{
    return l ? l->filterOffsets[which].Get() : 0.0f;
}

double ClampRatio(double ratio)
{
    return std::clamp(ratio, kMinPitchRatio, GigaVoice::kMaxPitchRatio);
}

}  // namespace

GigaVoice::~GigaVoice()
{
    ReleaseStream();
}

GigaTone& GigaVoice::GetTone() const
{
    // Only .gig tones start .gig voices.
    return static_cast<GigaTone&>(*Tone());
}

const GigaZone& GigaVoice::GetZone() const
{
    return *Zone();
}

// ---------------------------------------------------------------------------------------------
// Start

void GigaVoice::Start()
{
    // A voice from the pool never carries an old stream or request into its new note.
    ReleaseStream();
    playable_ = false;
    if (!Tone() || !Zone()) return;
    outputBuffer_ = GetTone().OutputBuffer();
    sourceBuffer_ = GetTone().SourceBuffer();
    if (!outputBuffer_ || !sourceBuffer_) return;
    StartGains();
    StartEnvelope();
    StartSource();
    if (!playable_) return;
    StartPitch();
    StartFilter();
}

int GigaVoice::AttenuationControllerValue() const
{
    const GigaZone& zone = GetZone();
    const int source = zone.attenuationController;
    const int value =
        source == KyControllerSources::kVelocity ? Velocity() : GetTone().ControllerValue(source);
    return std::max(value, static_cast<int>(zone.attenuationThreshold));
}

int GigaVoice::CutoffControllerValue() const
{
    const GigaZone& zone = GetZone();
    int value = GetTone().ControllerValue(zone.filterCutoffController);
    if (zone.filterControllerInvert) value = 127 - value;
    return std::max(value, static_cast<int>(zone.filterVelocityScale));
}

void GigaVoice::StartGains()
{
    const GigaZone& zone = GetZone();
    const GigaTone& tone = GetTone();
    const GigaPart* layer = Layer();

    const float depth =
        std::clamp(AmpOffset(layer, GigaPart::kAmpVelocityDepth) + zone.velocityDepth, 0.0f, 1.0f);
    velocityGain_ =
        GigaVelocityCurves::Value(zone.velocityCurve, zone.velocityScale, depth, Velocity()) *
        zone.gain * kGainScale;

    volume_ = LayerVolume(layer) * tone.EffectiveVolume() / 127;
    volumeFactor_ = static_cast<float>(volume_ * volume_) * kVolumeScale;

    pan_ = std::clamp(tone.Pan() + LayerPan(layer) + zone.pan - 192, -64, 63);
    leftGain_ = static_cast<float>(63 - pan_) / 127.0f;
    rightGain_ = static_cast<float>(pan_ + 64) / 127.0f;

    attenuationGain_ = 1.0f;
    attenuationValue_ = 0;
    if (zone.attenuationController != 0) {
        attenuationValue_ = AttenuationControllerValue();
        attenuationGain_ = GigaCrossfade::Gain(attenuationValue_, zone.wsmpOptions,
                                               zone.attenuationControllerInvert != 0);
    }
}

void GigaVoice::StartEnvelope()
{
    const GigaZone& zone = GetZone();
    const GigaPart* layer = Layer();
    int controller = 0;
    if (zone.eg1Controller == KyControllerSources::kVelocity)
        controller = Velocity();
    else if (zone.eg1Controller > 128)
        controller = GetTone().ControllerValue(zone.eg1Controller);

    GigaEnvelope::Settings s;
    s.preAttack = zone.eg1PreAttack;
    s.attack = zone.eg1Attack + AmpOffset(layer, GigaPart::kAmpAttack);
    s.decay = zone.eg1Decay + AmpOffset(layer, GigaPart::kAmpDecay);
    s.sustain = zone.eg1Sustain + AmpOffset(layer, GigaPart::kAmpSustain);
    s.release = zone.eg1Release + AmpOffset(layer, GigaPart::kAmpRelease);
    s.attackInfluence = zone.eg1AttackInfluence;
    s.decayInfluence = zone.eg1DecayInfluence;
    s.releaseInfluence = zone.eg1ReleaseInfluence;
    envelope_.Start(s, controller, KyPlayer::SampleRate());
}

void GigaVoice::StartSource()
{
    const GigaZone& zone = GetZone();
    sample_ = zone.sample;
    const GigaSample* s = sample_;
    // Without its head in memory a sample cannot start; we only play mono and stereo.
    if (!s || !s->loaded || !s->memory || !s->memory->Allocated()) return;
    if (s->channels < 1 || s->channels > GigaLowPass::kMaxChannels) return;
    preloadFrames_ = std::min(s->preloadFrames, s->frameCount);
    endFrame_ = s->frameCount - 2;
    if (preloadFrames_ < 2 || endFrame_ < 1) return;
    head_ = s->memory->Address(s->memoryOffset);
    channels_ = s->channels;

    // A loop is played only when it lies in memory; otherwise the zone plays straight through.
    looped_ = zone.loopEnabled != 0 && zone.loopStart >= 0 && zone.loopStart <= zone.loopEnd &&
              zone.loopEnd < preloadFrames_;
    loopStart_ = zone.loopStart;
    loopEnd_ = zone.loopEnd;
    // Streams continue where the head ends, so a start inside the stream part is pulled back.
    const int lastStart = looped_ ? loopEnd_ : std::min(endFrame_, preloadFrames_) - 1;
    startFrame_ = std::clamp(static_cast<int>(zone.sampleStartOffset), 0, lastStart);
    readFrame_ = nextFetch_ = sourceFrame_ = startFrame_;
    position_ = dsp::PositionOfFrame(startFrame_);
    history_ = {};
    haveHistory_ = false;
    stepPhase_ = 0;
    stepGain_ = 0.0f;
    playable_ = true;
}

double GigaVoice::BendRatio(int bend) const
{
    const double semitones =
        static_cast<double>(bend) * static_cast<double>(LayerBendRange(Layer())) / 8192.0;
    return std::pow(kSemitone, semitones);
}

void GigaVoice::StartPitch()
{
    const GigaZone& zone = GetZone();
    const GigaTone& tone = GetTone();
    const int key = Key();
    int unity = zone.unityNote >= 0 ? zone.unityNote : sample_->unityNote;
    const int fine = zone.fineTune != 0 ? zone.fineTune : sample_->fineTune;
    const int cents = fine + tone.Tune() + LayerTune(Layer());
    if (!zone.pitchTrack) unity = key;
    // Notes far above the unity note play unshifted rather than absurdly high.
    if (key > unity + 36) unity = key;
    baseRatio_ = (key == unity && cents == 0)
                     ? 1.0
                     : std::pow(kSemitone, (key - unity) + static_cast<double>(cents) / 100.0);
    const float hostRate = KyPlayer::SampleRate();
    if (sample_->sampleRate > 0 && sample_->sampleRate != static_cast<int>(hostRate))
        baseRatio_ *= static_cast<double>(sample_->sampleRate) / hostRate;
    baseRatio_ = ClampRatio(baseRatio_);

    lastBend_ = tone.Bend();
    pitchRatio_ = baseRatio_;
    if (lastBend_ != 0 && LayerBendRange(Layer()) != 0)
        pitchRatio_ = ClampRatio(baseRatio_ * BendRatio(lastBend_));
    resampling_ = pitchRatio_ != 1.0;
    step_ = dsp::StepOf(pitchRatio_);

    streamTrigger_ = 0;
    if (!looped_ && preloadFrames_ < endFrame_ + 1) ArmStreamTrigger();
}

void GigaVoice::ArmStreamTrigger()
{
    // The head's frames still to play, in output frames at the ratio in force (bend included),
    // from the frame the voice reads next (a start offset skips part of the head).
    const int headLeft = std::max(preloadFrames_ - nextFetch_, 0);
    const double outputLeft = std::min<double>(headLeft / pitchRatio_, INT_MAX / 2);
    const int lead = static_cast<int>(outputLeft) - static_cast<int>(KyPlayer::SampleRate() * 0.5f);
    // A head shorter than half a second asks soon, but never after it has run out.
    const int wait = lead > 0 ? lead : std::clamp(static_cast<int>(outputLeft) / 2, 1, 512);
    streamTrigger_ = FramesPlayed() + wait;
}

void GigaVoice::StartFilter()
{
    const GigaZone& zone = GetZone();
    const GigaPart* layer = Layer();
    filterUsed_ = zone.filterEnabled == 1 || (layer && layer->filterSwitch.Get() > 0);
    if (!filterUsed_) return;
    filter_.Clear();
    filter_.SetSampleRate(KyPlayer::SampleRate());
    const float depth = std::clamp(
        FilterOffset(layer, GigaPart::kCutoffVelocityDepth) + zone.filterVelocityDepth, 0.0f, 1.0f);
    filterVelocityFactor_ =
        GigaVelocityCurves::Value(zone.filterVelocityCurve, 1.0f, depth, Velocity());
    if (zone.filterCutoffController != 0) {
        cutoffValue_ = CutoffControllerValue();
        cutoff_ = static_cast<float>(cutoffValue_) / 127.0f * filterVelocityFactor_;
    } else {
        cutoff_ =
            filterVelocityFactor_ * (FilterOffset(layer, GigaPart::kCutoff) + zone.filterCutoff);
    }
    filter_.SetCutoff(cutoff_);
}

// ---------------------------------------------------------------------------------------------
// Streams

const GigaSample* GigaVoice::RequestedSample() const
{
    const std::uintptr_t word = streamWord_.load(std::memory_order_acquire);
    if ((word & kPendingBit) == 0) return nullptr;
    return reinterpret_cast<const GigaSample*>(word & ~kPendingBit);
}

bool GigaVoice::AttachStream(GigaStream* stream, const GigaSample* sample)
{
    if (!stream) return false;
    // Only a request for this very sample is answered: the voice may have ended, or started
    // another note, since it asked.
    std::uintptr_t expected = reinterpret_cast<std::uintptr_t>(sample) | kPendingBit;
    if (sample &&
        streamWord_.compare_exchange_strong(expected, reinterpret_cast<std::uintptr_t>(stream),
                                            std::memory_order_acq_rel, std::memory_order_acquire))
        return true;
    Port().finish(*stream);
    return false;
}

void GigaVoice::ReleaseStream()
{
    const std::uintptr_t word = streamWord_.exchange(0, std::memory_order_acq_rel);
    if (word != 0 && (word & kPendingBit) == 0) Port().finish(*reinterpret_cast<GigaStream*>(word));
}

GigaStream* GigaVoice::CurrentStream() const
{
    const std::uintptr_t word = streamWord_.load(std::memory_order_acquire);
    if (word == 0 || (word & kPendingBit) != 0) return nullptr;
    return reinterpret_cast<GigaStream*>(word);
}

void GigaVoice::AskForStream(bool now)
{
    if (looped_ || streamTrigger_ == 0 || (!now && FramesPlayed() < streamTrigger_)) return;
    // The request is visible before the disk thread can take it up.
    std::uintptr_t pending = reinterpret_cast<std::uintptr_t>(sample_) | kPendingBit;
    streamWord_.store(pending, std::memory_order_release);
    if (Port().request(*this)) {
        streamTrigger_ = 0;
        return;
    }
    // Refused: withdraw, unless an older queued request of ours has just been answered.
    if (!streamWord_.compare_exchange_strong(pending, 0, std::memory_order_acq_rel))
        streamTrigger_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Render

int GigaVoice::Render(KyBufferList* outputs, int offset, int frames, int blockFrames)
{
    if (!playable_ || frames <= 0) return 0;
    if (GetState() == kRelease) {
        SetState(kReleasing);
        envelope_.Release();
        if (envelope_.Finished()) return 0;
    } else if (GetState() == kKill) {
        SetState(kReleasing);
        envelope_.FastRelease();
        if (envelope_.GetStage() != GigaEnvelope::kReleaseTail) return 0;
    }
    ApplyBend();
    // Long host blocks, and high pitch ratios, are rendered in pieces that fit the step-gain
    // array and the scratch halves.
    int done = 0;
    while (done < frames) {
        const int piece = std::min(frames - done, ChunkLimit());
        const int made = RenderChunk(outputs, offset + done, piece, blockFrames);
        done += made;
        if (made < piece) break;
    }
    return done;
}

void GigaVoice::ApplyBend()
{
    const int range = LayerBendRange(Layer());
    const int bend = GetTone().Bend();
    if (range <= 0 || bend == lastBend_) return;
    lastBend_ = bend;
    pitchRatio_ = ClampRatio(baseRatio_ * BendRatio(bend));
    step_ = dsp::StepOf(pitchRatio_);
    // A stream not yet asked for is asked for sooner when the head now runs out sooner.
    if (streamTrigger_ != 0) ArmStreamTrigger();
    if (resampling_) return;
    // From here on the source is resampled, starting at the next unplayed frame.
    resampling_ = true;
    sourceFrame_ = looped_ ? readFrame_ : nextFetch_;
    position_ = dsp::PositionOfFrame(sourceFrame_);
    haveHistory_ = false;
}

int GigaVoice::ChunkLimit() const
{
    if (!resampling_) return kMaxBlockFrames;
    // Source frames for n output frames: at most n x ratio + 4 (history and look-ahead).
    const int capacity = kSourceFloats / channels_;
    const int limit = static_cast<int>((capacity - 4) / pitchRatio_) / kStep * kStep;
    return std::clamp(limit, kStep, kMaxBlockFrames);
}

int GigaVoice::Steps::Frames() const
{
    return lead + steps * kStep + tail;
}

int GigaVoice::RenderChunk(KyBufferList* outputs, int offset, int frames, int blockFrames)
{
    AskForStream();
    const int produced = ReadSource(frames);
    if (produced <= 0) return 0;

    // The control step runs on across pieces and blocks of any length, so every frame sounds
    // and the envelope moves once per 8 frames whatever the host's block size.
    Steps span;
    span.lead = stepPhase_ > 0 ? std::min(produced, kStep - stepPhase_) : 0;
    span.steps = (produced - span.lead) / kStep;
    span.tail = (produced - span.lead) % kStep;
    // Where the sample ends, the frames after its last whole step pass in silence.
    int silent = 0;
    if (produced < frames) std::swap(silent, span.tail);
    bool levelChanged = false;
    const int fresh = span.Fresh();
    const int made = fresh > 0 ? RunLevel(fresh, levelChanged) : 0;
    if (made < fresh) {
        // The envelope has finished: the voice ends after its last step.
        span.steps = made;
        span.tail = 0;
        silent = 0;
    }
    const float leadGain = stepGain_;
    if (span.tail > 0) {
        stepGain_ = stepGains_[static_cast<std::size_t>(span.steps)];
        stepPhase_ = span.tail;
    } else if (span.steps > 0) {
        stepGain_ = stepGains_[static_cast<std::size_t>(span.steps - 1)];
        stepPhase_ = 0;
    } else {
        stepPhase_ = (stepPhase_ + span.lead) % kStep;
    }

    const bool inaudible =
        GetZone().attenuationController != 0 && attenuationGain_ < kSilentGain && !levelChanged;
    if (inaudible || !outputs) return span.Frames() + silent;
    Play(*outputs, offset, span, leadGain, blockFrames);
    return span.Frames() + silent;
}

int GigaVoice::RunLevel(int steps, bool& levelChanged)
{
    // Volume and attenuation controller move with a ramp over the steps, never in a jump.
    const GigaZone& zone = GetZone();
    const float oldGain = velocityGain_ * attenuationGain_ * volumeFactor_;
    const int volume = LayerVolume(Layer()) * GetTone().EffectiveVolume() / 127;
    if (volume != volume_) {
        volume_ = volume;
        volumeFactor_ = static_cast<float>(volume_ * volume_) * kVolumeScale;
        levelChanged = true;
    }
    const int source = zone.attenuationController;
    if (source != 0 && source != KyControllerSources::kVelocity) {
        const int value = AttenuationControllerValue();
        if (value != attenuationValue_) {
            attenuationValue_ = value;
            attenuationGain_ =
                GigaCrossfade::Gain(value, zone.wsmpOptions, zone.attenuationControllerInvert != 0);
            levelChanged = true;
        }
    }
    const float newGain = velocityGain_ * attenuationGain_ * volumeFactor_;
    return envelope_.Run(stepGains_.data(), steps, levelChanged ? oldGain : newGain, newGain);
}

int GigaVoice::ReadSource(int frames)
{
    if (looped_) return resampling_ ? ReadLoopedResampled(frames) : ReadLooped(frames);
    return resampling_ ? ReadResampled(frames) : ReadDirect(frames);
}

void GigaVoice::CopyLooped(float* dst, int frame, int count) const
{
    const int length = loopEnd_ - loopStart_ + 1;
    if (frame > loopEnd_) frame = loopStart_ + (frame - loopStart_) % length;
    while (count > 0) {
        const int run = std::min(count, loopEnd_ - frame + 1);
        dsp::ConvertInt16(head_ + static_cast<std::ptrdiff_t>(frame) * channels_, dst,
                          run * channels_);
        dst += run * channels_;
        count -= run;
        frame = loopStart_;
    }
}

int GigaVoice::ReadLooped(int frames)
{
    CopyLooped(outputBuffer_, readFrame_, frames);
    const int length = loopEnd_ - loopStart_ + 1;
    const long long next = static_cast<long long>(readFrame_) + frames;
    readFrame_ = next > loopEnd_ ? static_cast<int>(loopStart_ + (next - loopStart_) % length)
                                 : static_cast<int>(next);
    position_ = dsp::PositionOfFrame(readFrame_);
    runSource_ = outputBuffer_;
    return frames;
}

int GigaVoice::ReadLoopedResampled(int frames)
{
    const int first = static_cast<int>(dsp::FrameOf(position_));
    const dsp::Position end = position_ + static_cast<dsp::Position>(frames) * step_;
    // Every frame the interpolation can touch, plus one guard frame.
    const int count = static_cast<int>(dsp::FrameOf(end)) - first + 2;
    CopyLooped(sourceBuffer_, first, count);
    runSource_ = sourceBuffer_;
    runPosition_ = position_ - dsp::PositionOfFrame(first);
    position_ = dsp::WrapIntoLoop(end, {loopStart_, loopEnd_});
    readFrame_ = static_cast<int>(dsp::FrameOf(position_));
    return frames;
}

bool GigaVoice::FetchSequential(float* dst, int count)
{
    if (count <= 0) return true;
    const int fromHead = std::clamp(preloadFrames_ - nextFetch_, 0, count);
    dsp::ConvertInt16(head_ + static_cast<std::ptrdiff_t>(nextFetch_) * channels_, dst,
                      fromHead * channels_);
    nextFetch_ += fromHead;
    const int rest = count - fromHead;
    if (rest == 0) return true;
    // Past the head: the stream must be there and must have the frames. A live host gets no
    // waiting; one that renders offline waits for the disk rather than lose the note.
    // A head shorter than the block ran out before the trigger came round: ask now.
    if (!CurrentStream()) AskForStream(true);
    const StreamPort& port = Port();
    const bool offline = port.awaitStream && port.awaitValues && RendersOffline();
    if (offline && RequestedSample()) port.awaitStream(*this);
    GigaStream* stream = CurrentStream();
    if (!stream) return false;
    float* const to = dst + fromHead * channels_;
    const int values = rest * channels_;
    if (!port.pull(*stream, to, values) &&
        !(offline && port.awaitValues(*stream, values) && port.pull(*stream, to, values))) {
        ReleaseStream();
        return false;
    }
    nextFetch_ += rest;
    return true;
}

bool GigaVoice::RendersOffline() const
{
    const KyPlayer* player = GetTone().Player();
    return player && player->RendersOffline();
}

int GigaVoice::ReadDirect(int frames)
{
    frames = std::min(frames, endFrame_ - nextFetch_);
    if (frames <= 0) return 0;
    if (!FetchSequential(outputBuffer_, frames)) return 0;
    sourceFrame_ = nextFetch_;
    position_ = dsp::PositionOfFrame(nextFetch_);
    runSource_ = outputBuffer_;
    return frames;
}

int GigaVoice::ReadResampled(int frames)
{
    const int first = sourceFrame_;
    dsp::Position end = position_ + static_cast<dsp::Position>(frames) * step_;
    const dsp::Position endOfSample = dsp::PositionOfFrame(endFrame_);
    if (end >= endOfSample + dsp::kPositionOne) {
        // The sample ends within this block: play what is left, then the voice ends.
        if (position_ >= endOfSample) return 0;
        frames = static_cast<int>(std::min<dsp::Position>((endOfSample - position_) / step_,
                                                          static_cast<dsp::Position>(frames)));
        if (frames < 1) return 0;
        end = position_ + static_cast<dsp::Position>(frames) * step_;
    }
    const int last = static_cast<int>(dsp::FrameOf(end));
    const int fresh = last - first;
    const int ch = channels_;
    bool ok;
    if (haveHistory_) {
        std::copy_n(history_.data(), 2 * ch, sourceBuffer_);
        ok = FetchSequential(sourceBuffer_ + 2 * ch, fresh);
    } else {
        ok = FetchSequential(sourceBuffer_, fresh + 2);
    }
    if (!ok) return 0;
    runSource_ = sourceBuffer_;
    runPosition_ = position_ - dsp::PositionOfFrame(first);
    std::copy_n(sourceBuffer_ + fresh * ch, 2 * ch, history_.data());
    haveHistory_ = true;
    sourceFrame_ = last;
    position_ = end;
    return frames;
}

float GigaVoice::CutoffGlide(int fresh, float& target)
{
    const GigaZone& zone = GetZone();
    target = cutoff_;
    if (zone.filterCutoffController == 0 || fresh <= 0) return 0.0f;
    const int value = CutoffControllerValue();
    if (value == cutoffValue_) return 0.0f;
    // A controller jump glides over the piece instead of clicking.
    cutoffValue_ = value;
    target = static_cast<float>(value) / 127.0f * filterVelocityFactor_;
    return (target - cutoff_) / static_cast<float>(fresh);
}

void GigaVoice::FilterUnmixed(const Steps& span)
{
    if (resampling_)
        dsp::InterpolateFloat(runSource_, channels_, runPosition_, step_, outputBuffer_,
                              span.Frames());
    float* x = outputBuffer_;
    const auto run = [&](int frames) {
        if (frames <= 0) return;
        // A closed filter lets nothing through; its state still runs down.
        if (cutoff_ < GigaLowPass::kMinimumCutoff) std::fill_n(x, frames * channels_, 0.0f);
        filter_.Process(x, frames, channels_);
        x += frames * channels_;
    };
    // The frames that finish the step begun before keep its coefficients.
    run(span.lead);
    const int fresh = span.Fresh();
    float target = cutoff_;
    const float delta = CutoffGlide(fresh, target);
    if (delta == 0.0f) {
        run(span.steps * kStep + span.tail);
        return;
    }
    for (int i = 0; i < fresh; ++i) {
        cutoff_ = i + 1 == fresh ? target : cutoff_ + delta;
        filter_.SetCutoff(cutoff_);
        run(i < span.steps ? kStep : span.tail);
    }
}

void GigaVoice::Play(KyBufferList& outputs, int offset, const Steps& span, float leadGain,
                     int blockFrames)
{
    const int toneBus = GetTone().OutputBus();
    KyBufferList::Bus* bus =
        outputs.PrepareForMix(toneBus + GetZone().channelOffset / 2, blockFrames);
    if (!bus) bus = outputs.PrepareForMix(toneBus, blockFrames);
    if (!bus) {
        if (filterUsed_) FilterUnmixed(span);
        return;
    }
    dsp::VoiceRun run;
    run.source = runSource_;
    run.channels = channels_;
    run.resample = resampling_;
    run.position = runPosition_;
    run.step = step_;
    run.state = filter_.State();
    run.gains.panLeft = leftGain_;
    run.gains.panRight = rightGain_;
    run.left = bus->left + offset;
    run.right = bus->right + offset;
    // One pass per run of frames with the same filter coefficients; the filter's memory is
    // tidied after each, as it always was.
    const auto play = [&](int frames, const float* gains, int firstFrames) {
        if (frames <= 0) return;
        run.frames = frames;
        run.gains.gains = gains;
        run.gains.firstFrames = firstFrames;
        run.coefficients = filterUsed_ ? &filter_.Get() : nullptr;
        run.closed = cutoff_ < GigaLowPass::kMinimumCutoff;
        const dsp::Position next = dsp::RenderVoiceRun(run);
        if (resampling_)
            run.position = next;
        else
            run.source += frames * channels_;
        run.left += frames;
        run.right += frames;
    };
    // The frames that finish the step begun before keep its gain and coefficients.
    play(span.lead, &leadGain, span.lead);
    const int fresh = span.Fresh();
    float target = cutoff_;
    const float delta = filterUsed_ ? CutoffGlide(fresh, target) : 0.0f;
    if (delta == 0.0f) {
        play(span.steps * kStep + span.tail, stepGains_.data(), kStep);
        return;
    }
    for (int i = 0; i < fresh; ++i) {
        cutoff_ = i + 1 == fresh ? target : cutoff_ + delta;
        filter_.SetCutoff(cutoff_);
        play(i < span.steps ? kStep : span.tail, stepGains_.data() + i, kStep);
    }
}
