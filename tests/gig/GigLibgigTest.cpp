// Cross-checks with libgig, an independent reader and writer of .gig files: it must read what our
// writer writes, and our model must decode what it writes, agreeing on every field both read.
#include <gig.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "tests/gig/GigTestLoader.h"

using namespace testsupport;

namespace {

GigFilePlan CrossPlan(int version)
{
    GigFilePlan plan;
    plan.version = version;
    GigSamplePlan mono;
    mono.name = "Mono";
    mono.frames = 1500;
    mono.sampleRate = 22050;
    GigSamplePlan stereo;
    stereo.name = "Stereo";
    stereo.channels = 2;
    stereo.bits = 24;
    stereo.frames = 2000;
    stereo.loop = true;
    stereo.loopStart = 500;
    stereo.loopEnd = 1499;
    plan.samples = {mono, stereo};

    GigRegionPlan low;
    low.highKey = 47;
    low.dimensions = {{gigdim::kSampleChannel, 1}, {gigdim::kVelocity, 2}};
    low.fill.sample = 1;
    for (int i = 0; i < 8; ++i) {
        GigDimensionRegionPlan d;
        d.sample = 1;
        d.unityNote = static_cast<std::uint16_t>(40 + i);
        d.ewaLength = version < 3 ? 140 : 148;
        const std::uint8_t limit = static_cast<std::uint8_t>(i / 2 == 3 ? 127 : 30 * (i / 2 + 1));
        if (version < 3) {
            d.velocityUpperLimit = limit;
        } else {
            d.dimensionUpperLimits[1] = limit;
        }
        low.dimensionRegions.push_back(d);
    }
    GigRegionPlan high;
    high.lowKey = 48;
    high.highKey = 100;
    high.dimensions = {{gigdim::kRoundRobin, 1}, {gigdim::kKeyboard, 1}};
    high.fill.loop = true;
    high.fill.loopStart = 10;
    high.fill.loopLength = 200;
    GigInstrumentPlan first;
    first.name = "Cross One";
    first.regions = {low, high};
    GigInstrumentPlan second;
    second.name = "Cross Two";
    second.regions[0].lowKey = 20;
    second.regions[0].highKey = 30;
    plan.instruments = {first, second};
    return plan;
}

std::vector<gig::Instrument*> Instruments(gig::File& file)
{
    std::vector<gig::Instrument*> all;
    for (auto* ins = file.GetFirstInstrument(); ins; ins = file.GetNextInstrument()) {
        all.push_back(ins);
    }
    return all;
}

std::vector<gig::Region*> Regions(gig::Instrument& ins)
{
    std::vector<gig::Region*> all;
    for (auto* r = ins.GetFirstRegion(); r; r = ins.GetNextRegion()) all.push_back(r);
    return all;
}

}  // namespace

// libgig reports failures as RIFF::Exception; the tests turn them into failures with its text.
static void LibgigReadsWhatWeWrite();
static void OurModelReadsWhatLibgigWrites();
static void OurModelReadsWhatLibgigWrites(int version);

TEST(GigLibgig, LibgigReadsWhatWeWrite)
{
    try {
        LibgigReadsWhatWeWrite();
    } catch (const RIFF::Exception& e) {
        FAIL() << "libgig: " << e.Message;
    }
}

static void LibgigReadsWhatWeWrite()
{
    for (const int version : {2, 3}) {
        SCOPED_TRACE(version);
        TempFolder folder;
        const GigWriter writer(CrossPlan(version));
        writer.Write(folder.File("cross.gig"));

        RIFF::File riff(folder.File("cross.gig"));
        gig::File file(&riff);
        ASSERT_NE(file.pVersion, nullptr);
        EXPECT_EQ(file.pVersion->major, version);

        std::vector<gig::Sample*> samples;
        for (auto* s = file.GetFirstSample(); s; s = file.GetNextSample()) samples.push_back(s);
        ASSERT_EQ(samples.size(), 2u);
        EXPECT_EQ(samples[0]->pInfo->Name, "Mono");
        EXPECT_EQ(samples[0]->Channels, 1);
        EXPECT_EQ(samples[0]->BitDepth, 16);
        EXPECT_EQ(samples[0]->SamplesPerSecond, 22050u);
        EXPECT_EQ(samples[0]->SamplesTotal, 1500u);
        EXPECT_EQ(samples[0]->Loops, 0u);
        EXPECT_EQ(samples[1]->Channels, 2);
        EXPECT_EQ(samples[1]->BitDepth, 24);
        EXPECT_EQ(samples[1]->SamplesTotal, 2000u);
        EXPECT_EQ(samples[1]->Loops, 1u);
        EXPECT_EQ(samples[1]->LoopStart, 500u);
        EXPECT_EQ(samples[1]->LoopEnd, 1499u);

        // The 16-bit data as stored.
        const auto buffer = samples[0]->LoadSampleData();
        const auto values = writer.Values(0);
        ASSERT_EQ(buffer.Size, 3000u);
        const auto* stored = static_cast<const std::int16_t*>(buffer.pStart);
        for (std::size_t i = 0; i < values.size(); ++i) ASSERT_EQ(stored[i], values[i]) << i;
        samples[0]->ReleaseSampleData();

        auto instruments = Instruments(file);
        ASSERT_EQ(instruments.size(), 2u);
        EXPECT_EQ(instruments[0]->pInfo->Name, "Cross One");
        EXPECT_EQ(instruments[1]->pInfo->Name, "Cross Two");
        auto regions = Regions(*instruments[0]);
        ASSERT_EQ(regions.size(), 2u);
        EXPECT_EQ(regions[0]->KeyRange.low, 0);
        EXPECT_EQ(regions[0]->KeyRange.high, 47);
        EXPECT_EQ(regions[1]->KeyRange.low, 48);
        EXPECT_EQ(regions[1]->KeyRange.high, 100);
        EXPECT_EQ(regions[0]->Dimensions, 2u);
        EXPECT_EQ(regions[0]->DimensionRegions, 8u);
        EXPECT_EQ(regions[0]->pDimensionDefinitions[0].dimension, gig::dimension_samplechannel);
        EXPECT_EQ(regions[0]->pDimensionDefinitions[1].dimension, gig::dimension_velocity);
        EXPECT_EQ(regions[0]->pDimensionDefinitions[1].bits, 2);
        EXPECT_EQ(regions[1]->pDimensionDefinitions[1].dimension, gig::dimension_keyboard);
        for (int i = 0; i < 8; ++i) {
            const auto* d = regions[0]->pDimensionRegions[i];
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->pSample, samples[1]);
            EXPECT_EQ(d->UnityNote, 40 + i);
            EXPECT_NEAR(d->EG1Attack, 0.002, 1e-4);
            EXPECT_NEAR(d->EG1Release, 0.3, 1e-3);
            const int limit = i / 2 == 3 ? 127 : 30 * (i / 2 + 1);
            EXPECT_EQ(version < 3 ? d->VelocityUpperLimit : d->DimensionUpperLimits[1], limit);
        }
        const auto* looped = regions[1]->pDimensionRegions[0];
        EXPECT_EQ(looped->pSample, samples[0]);
        ASSERT_EQ(looped->SampleLoops, 1u);
        EXPECT_EQ(looped->pSampleLoops[0].LoopStart, 10u);
        EXPECT_EQ(looped->pSampleLoops[0].LoopLength, 200u);
        EXPECT_EQ(Regions(*instruments[1])[0]->KeyRange.low, 20);
    }
}

TEST(GigLibgig, OurModelReadsWhatLibgigWrites)
{
    try {
        OurModelReadsWhatLibgigWrites();
    } catch (const RIFF::Exception& e) {
        FAIL() << "libgig: " << e.Message;
    }
}

static void OurModelReadsWhatLibgigWrites()
{
    for (const int version : {2, 3}) {
        SCOPED_TRACE(version);
        OurModelReadsWhatLibgigWrites(version);
    }
}

static void OurModelReadsWhatLibgigWrites(int version)
{
    TempFolder folder;
    const std::string path = folder.File("libgig.gig");
    {
        gig::File file;
        if (version == 2) *file.pVersion = gig::File::VERSION_2;
        gig::Sample* mono = file.AddSample();
        mono->pInfo->Name = "Mono";
        mono->Channels = 1;
        mono->BitDepth = 16;
        mono->FrameSize = 2;
        mono->BlockAlign = 2;
        mono->SamplesPerSecond = 32000;
        mono->AverageBytesPerSecond = 64000;
        mono->Resize(1200);
        gig::Sample* stereo = file.AddSample();
        stereo->pInfo->Name = "Stereo";
        stereo->Channels = 2;
        stereo->BitDepth = 24;
        stereo->FrameSize = 6;
        stereo->BlockAlign = 6;
        stereo->SamplesPerSecond = 48000;
        stereo->AverageBytesPerSecond = 288000;
        stereo->Resize(900);

        gig::Instrument* ins = file.AddInstrument();
        ins->pInfo->Name = "Libgig Piano";
        ins->PitchbendRange = 7;
        gig::Region* low = ins->AddRegion();
        low->SetKeyRange(0, 59);
        gig::dimension_def_t channel {gig::dimension_samplechannel, 1, 2, gig::split_type_normal,
                                      0};
        low->AddDimension(&channel);
        gig::dimension_def_t velocity {gig::dimension_velocity, 2, 4, gig::split_type_normal, 0};
        low->AddDimension(&velocity);
        for (std::uint32_t i = 0; i < low->DimensionRegions; ++i) {
            gig::DimensionRegion* d = low->pDimensionRegions[i];
            d->pSample = stereo;
            d->UnityNote = static_cast<std::uint8_t>(50 + i);
            d->EG1Attack = 0.5;
            d->EG1Release = 2.0;
            d->Pan = -32;
        }
        gig::Region* high = ins->AddRegion();
        high->SetKeyRange(60, 127);
        gig::DimensionRegion* plain = high->pDimensionRegions[0];
        plain->pSample = mono;
        DLS::sample_loop_t loop {sizeof(DLS::sample_loop_t), 0, 100, 400};
        plain->AddSampleLoop(&loop);
        plain->Pan = 63;
        file.Save(path);
    }

    QelLog log;
    LoadedGig ours;
    ASSERT_TRUE(LoadGig(path, ours, log));
    EXPECT_EQ(ours.version, version);
    RIFF::File riff(path);
    gig::File theirs(&riff);

    ASSERT_EQ(ours.samples.size(), 2u);
    std::vector<gig::Sample*> samples;
    for (auto* s = theirs.GetFirstSample(); s; s = theirs.GetNextSample()) samples.push_back(s);
    ASSERT_EQ(samples.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(ours.samples[i].channels, samples[i]->Channels);
        EXPECT_EQ(ours.samples[i].bitsPerSample, samples[i]->BitDepth);
        EXPECT_EQ(ours.samples[i].sampleRate,
                  static_cast<std::int32_t>(samples[i]->SamplesPerSecond));
        EXPECT_EQ(ours.samples[i].frameCount, static_cast<std::int32_t>(samples[i]->SamplesTotal));
        EXPECT_FALSE(ours.samples[i].Compressed());
    }
    EXPECT_EQ(ours.samples[0].frameCount, 1200);
    EXPECT_EQ(ours.samples[1].frameCount, 900);

    ASSERT_EQ(ours.programs.size(), 1u);
    GigaProgram& program = *ours.programs[0];
    gig::Instrument* ins = theirs.GetFirstInstrument();
    EXPECT_EQ(program.name, ins->pInfo->Name);
    EXPECT_EQ(program.pitchBendRange, ins->PitchbendRange);
    auto theirRegions = Regions(*ins);
    ASSERT_EQ(program.regionCount, static_cast<std::int32_t>(theirRegions.size()));
    for (std::size_t r = 0; r < theirRegions.size(); ++r) {
        GigaRegion& region = program.Regions()[r];
        gig::Region& their = *theirRegions[r];
        EXPECT_EQ(region.lowKey, their.KeyRange.low);
        EXPECT_EQ(region.highKey, their.KeyRange.high);
        const bool stereo =
            their.pDimensionDefinitions[0].dimension == gig::dimension_samplechannel;
        EXPECT_EQ(region.zoneCount,
                  static_cast<std::int32_t>(their.DimensionRegions) / (stereo ? 2 : 1));
        EXPECT_EQ(region.dimensionCount,
                  static_cast<std::int32_t>(their.Dimensions) - (stereo ? 1 : 0));
        for (std::uint32_t i = 0; i < their.DimensionRegions; i += stereo ? 2 : 1) {
            const gig::DimensionRegion& d = *their.pDimensionRegions[i];
            const GigaZone& zone = region.Zones()[i / (stereo ? 2 : 1)];
            SCOPED_TRACE(i);
            EXPECT_EQ(zone.sample, &ours.samples[d.pSample == samples[0] ? 0 : 1]);
            EXPECT_EQ(zone.unityNote, d.UnityNote);
            EXPECT_EQ(zone.fineTune, d.FineTune);
            EXPECT_NEAR(zone.eg1Attack, d.EG1Attack, 1e-3 * d.EG1Attack + 1e-6);
            EXPECT_NEAR(zone.eg1Release, std::min(d.EG1Release, 10.0), 1e-3 * d.EG1Release + 1e-6);
            EXPECT_NEAR(zone.eg1Sustain, d.EG1Sustain / 1000.0, 1e-6);
            EXPECT_EQ(zone.pan, 64 + d.Pan);
            EXPECT_EQ(zone.loopEnabled, d.SampleLoops > 0 ? 1 : 0);
            if (d.SampleLoops > 0) {
                EXPECT_EQ(zone.loopStart, static_cast<std::int32_t>(d.pSampleLoops[0].LoopStart));
                EXPECT_EQ(zone.loopEnd,
                          static_cast<std::int32_t>(d.pSampleLoops[0].LoopStart +
                                                    d.pSampleLoops[0].LoopLength - 1));
            }
        }
    }
    // Velocity splits: 4 even zones.
    const DimensionNode* tree = program.Regions()[0].Tree();
    ASSERT_NE(tree, nullptr);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(tree[k].upperLimit, 32 * (k + 1) - 1) << k;
}

// libgig and we agree on where the waves of an extension file are; how a region's wave pool index
// reaches them is read by the bank walk (pool order), which libgig does differently.
TEST(GigLibgig, LibgigFindsSamplesInOurExtensionFiles)
{
    GigFilePlan plan;
    GigSamplePlan local, far;
    local.name = "Local";
    far.name = "Far";
    far.file = 1;
    far.frames = 700;
    plan.samples = {local, far};
    plan.instruments[0].regions[0].fill.sample = 1;
    TempFolder folder;
    const GigWriter writer(plan);
    writer.Write(folder.File("split.gig"));
    try {
        RIFF::File riff(folder.File("split.gig"));
        gig::File file(&riff);
        gig::Sample* first = file.GetFirstSample();
        ASSERT_NE(first, nullptr);
        gig::Sample* second = file.GetNextSample();
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->pInfo->Name, "Far");
        EXPECT_EQ(second->SamplesTotal, 700u);
        const auto buffer = second->LoadSampleData();
        const auto values = writer.Values(1);
        const auto* stored = static_cast<const std::int16_t*>(buffer.pStart);
        for (std::size_t i = 0; i < values.size(); ++i) ASSERT_EQ(stored[i], values[i]) << i;
    } catch (const RIFF::Exception& e) {
        FAIL() << "libgig: " << e.Message;
    }
}
