// A rack of .gig tones over real generated files, with voices that only remember what started
// them: selection and stack rules can be checked without the sound of the voices.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/GigaTone.h"
#include "engine/KyVoicePool.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaProgram.h"
#include "gig/GigaRegion.h"
#include "player/KyBufferList.h"
#include "player/KyPlayer.h"

namespace tonetest {

// Sounds for a long time; a release or a kill ends it after `releaseFrames`.
class MarkerVoice : public KyVoice {
public:
    void Start() override
    {
        gain = 1.0f;
        remaining = 1'000'000'000;
    }
    int Render(KyBufferList*, int, int frames, int) override
    {
        if (GetState() == kRelease || GetState() == kKill) {
            killed = GetState() == kKill;
            SetState(kReleasing);
            remaining = std::min(remaining, releaseFrames);
        }
        const int made = std::min(remaining, frames);
        remaining -= made;
        return made;
    }
    void ScaleVelocityGain(float factor) override { gain *= factor; }

    float gain = 1.0f;
    int remaining = 0;
    int releaseFrames = 64;
    bool killed = false;
};

class ToneFixture : public ::testing::Test {
protected:
    static constexpr int kFrames = 441;  // 10 ms at 44.1 kHz

    void SetUp() override
    {
        buses.SetBusCount(16);
        buses.AllocateOwned(kFrames);
    }
    void TearDown() override { player.RemoveTones(); }

    std::string Write(const testsupport::GigFilePlan& plan, const std::string& name = "test.gig")
    {
        const std::string path = folder.File(name);
        testsupport::GigWriter(plan).Write(path);
        return path;
    }
    // Adds a tone on `channel` with one layer per program index given, loads it and starts it.
    GigaTone& AddTone(const std::string& path, std::vector<int> programs, int channel = 0,
                      int selectMode = GigaTone::kSelectNone)
    {
        const int index = player.ToneCount();
        auto owned = std::make_unique<GigaTone>(index, channel, scratch.data());
        GigaTone& tone = *owned;
        tone.SetVoicePool(&pool);
        player.AddTone(std::move(owned));
        for (int program : programs) tone.AddLayer(path, program);
        tone.SetSelectMode(selectMode);
        tone.LoadPass();
        return tone;
    }
    void Start()
    {
        player.KyStart();
        Block();
    }
    // As the plug-in does it: every bus starts the block zeroed.
    void Block()
    {
        buses.ZeroAll(kFrames);
        player.Process(&buses, kFrames);
    }
    void Note(int channel, int key, int velocity)
    {
        player.NoteOn(channel, key, velocity, 0);
        Block();
    }
    void Off(int channel, int key)
    {
        player.NoteOff(channel, key, 0, 0);
        Block();
    }
    // Voices of the tone, oldest first.
    static std::vector<MarkerVoice*> Voices(GigaTone& tone)
    {
        std::vector<MarkerVoice*> voices;
        for (KyVoice* v = tone.Voices().Head(); v; v = KyVoiceList::Next(v))
            voices.push_back(static_cast<MarkerVoice*>(v));
        return voices;
    }
    // Index of the zone a voice plays within the region of `key`.
    static int ZoneOf(GigaTone& tone, const KyVoice* voice, int key, int layer = 0)
    {
        GigaRegion* region = tone.Layer(layer)->program->RegionForKey(key);
        return static_cast<int>(static_cast<const GigaZone*>(voice->Zone()) -
                                region->Zones().data());
    }
    // Plays one note, answers the zone of the voice it started (or -1), and ends it again.
    int ZoneFor(GigaTone& tone, int channel, int key, int velocity)
    {
        const auto before = Voices(tone).size();
        Note(channel, key, velocity);
        const auto voices = Voices(tone);
        const int zone = voices.size() > before ? ZoneOf(tone, voices.back(), key) : -1;
        player.AllNotesOff(channel);
        Block();
        Block();
        return zone;
    }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    KyVoicePool<MarkerVoice> markers {256};  // outlives the tones
    KyVoiceList& pool = markers.Free();
    std::vector<float> scratch = std::vector<float>(GigaTone::kScratchFloats);
    KyPlayer player;
    KyBufferList buses;
};

// A file with one instrument whose single region (keys 36..96) has the given dimensions.
inline testsupport::GigFilePlan OneRegion(
    std::vector<testsupport::GigDimensionPlan> dimensions,
    std::vector<testsupport::GigDimensionRegionPlan> regions = {})
{
    testsupport::GigFilePlan plan;
    testsupport::GigRegionPlan region;
    region.lowKey = 36;
    region.highKey = 96;
    region.dimensions = std::move(dimensions);
    region.dimensionRegions = std::move(regions);
    plan.instruments[0].regions = {region};
    return plan;
}

}  // namespace tonetest
