// A .gig tone with one layer and a pool of real voices, a zone over a sample held in memory, and
// the measurements the voice tests make on what comes out.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/GigaPart.h"
#include "engine/GigaTone.h"
#include "engine/GigaVoice.h"
#include "engine/KyVoicePool.h"
#include "gig/GigaSample.h"
#include "gig/GigaZone.h"
#include "player/KyBufferList.h"
#include "player/KyPlayer.h"
#include "prefs/SampleBudget.h"
#include "sample/GigaMemory.h"
#include "tests/support/Signal.h"

namespace voicetest {

constexpr double kRate = 44100.0;

// 16-bit frames, interleaved.
inline std::vector<std::int16_t> Sine(double hz, int frames, int channels = 1, double level = 0.5,
                                      double rate = kRate)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames * channels));
    for (int i = 0; i < frames; ++i) {
        const double v = level * std::sin(2.0 * std::numbers::pi * hz * i / rate);
        for (int c = 0; c < channels; ++c)
            out[static_cast<std::size_t>(i * channels + c)] =
                static_cast<std::int16_t>(std::lround(v * 32767.0 * (c == 0 ? 1.0 : 0.5)));
    }
    return out;
}

inline std::vector<std::int16_t> Constant(std::int16_t value, int frames, int channels = 1)
{
    return std::vector<std::int16_t>(static_cast<std::size_t>(frames * channels), value);
}

// A sample whose first `preload` frames (all when negative) are in a memory record of its own.
class MemorySample {
public:
    MemorySample(std::vector<std::int16_t> frames, int channels, int preload = -1, int rate = 44100)
        : data_(std::move(frames))
    {
        const int count = static_cast<int>(data_.size()) / channels;
        if (preload < 0) preload = count;
        sample.channels = channels;
        sample.sampleRate = rate;
        sample.frameCount = count;
        sample.preloadFrames = preload;
        const GigaMemory::Offset offset = memory_.Reserve(preload * channels);
        memory_.Allocate();
        std::copy_n(data_.data(), preload * channels, memory_.Address(offset));
        sample.memory = &memory_;
        sample.memoryOffset = offset;
        sample.loaded = true;
    }
    float Value(int frame, int channel) const
    {
        return data_[static_cast<std::size_t>(frame * sample.channels + channel)] *
               (1.0f / 32767.0f);
    }

    GigaSample sample;

private:
    std::vector<std::int16_t> data_;
    SampleBudget budget_ {4096};
    GigaMemory memory_ {budget_};
};

// A zone that plays the whole sample at its own pitch, full velocity response off, no filter.
inline void PlainZone(GigaZone& zone, GigaSample& sample, int unity = 60)
{
    zone.sample = &sample;
    zone.unityNote = unity;
    zone.pitchTrack = true;
    zone.gain = 1.0f;
    zone.velocityDepth = 0.0f;  // row 4: no response
    zone.velocityCurve = 1;
    zone.velocityScale = 1.0f;
    zone.eg1Release = 0.0f;
}

class TestTone : public GigaTone {
public:
    using GigaTone::GigaTone;
    using KyTone::MixVoices;

    void PitchBend(int lsb, int msb)
    {
        const KyMidiEvent bend {KyMidiEvent::kPitchBend, lsb, msb, 0};
        ProcessEvents({&bend, 1});
    }
};

struct Rig {
    static constexpr int kBusFrames = 16384;
    static constexpr int kVoices = 16;

    Rig()
    {
        tone.SetVoicePool(&pool);
        tone.SetVolume(127);
        buses.SetBusCount(4);
        buses.AllocateOwned(kBusFrames);
    }
    GigaVoice* Start(GigaZone& zone, int key = 60, int velocity = 127)
    {
        return static_cast<GigaVoice*>(tone.StartVoice(key, velocity, 0, &zone, &layer));
    }
    // One block through the tone; the bus contents of that block stay readable.
    int Block(int frames)
    {
        buses.ClearReadyFlags();
        return tone.MixVoices(&buses, frames);
    }
    std::vector<float> Left(int frames, int bus = 0) const
    {
        return {buses.GetBus(bus).left, buses.GetBus(bus).left + frames};
    }
    std::vector<float> Right(int frames, int bus = 0) const
    {
        return {buses.GetBus(bus).right, buses.GetBus(bus).right + frames};
    }
    // Renders `total` frames in blocks of `block` and keeps the left channel of bus 0.
    std::vector<float> Render(int total, int block = 512, int bus = 0)
    {
        std::vector<float> out;
        for (int done = 0; done < total; done += block) {
            const int n = std::min(block, total - done);
            Block(n);
            const auto left = Left(n, bus);
            out.insert(out.end(), left.begin(), left.end());
        }
        return out;
    }

    std::vector<float> scratch = std::vector<float>(GigaTone::kScratchFloats);
    KyVoicePool<GigaVoice> voices {kVoices};
    KyVoiceList& pool = voices.Free();
    TestTone tone {0, 0, scratch.data()};
    GigaPart layer {&tone};
    KyBufferList buses;
};

using testsupport::Frequency;
using testsupport::Peak;
using testsupport::Rms;
using testsupport::Semitones;

}  // namespace voicetest
