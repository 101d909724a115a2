#include "gig/GigaBank.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/GigWriter.h"
#include "gig/GigaFile.h"
#include "prefs/SampleBudget.h"
#include "tests/bank/BankTestSupport.h"

using namespace testsupport;

namespace {

GigSamplePlan Sample(int frames, int rate = 1000)
{
    GigSamplePlan s;
    s.frames = frames;
    s.sampleRate = rate;
    return s;
}

// One single-zone region per sample.
GigInstrumentPlan Instrument(std::string name, std::vector<int> samples)
{
    GigInstrumentPlan ins;
    ins.name = std::move(name);
    ins.regions.clear();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        GigRegionPlan region;
        region.lowKey = region.highKey = static_cast<std::int16_t>(40 + i);
        region.fill.sample = samples[i];
        ins.regions.push_back(region);
    }
    return ins;
}

class GigaBankTest : public ::testing::Test {
protected:
    std::string Write(const GigFilePlan& plan, const std::string& name = "bank.gig")
    {
        GigWriter(plan).Write(folder.File(name));
        return folder.File(name);
    }

    // The preload holds the values the writer stored (24-bit ones without their low byte).
    static void ExpectPreload(const GigaSample& s, const std::vector<std::int32_t>& values)
    {
        ASSERT_NE(s.memory, nullptr);
        const std::int16_t* preload = s.memory->Address(s.memoryOffset);
        const int shift = s.bitsPerSample == 24 ? 8 : 0;
        for (std::size_t i = 0; i < std::size_t(s.preloadFrames) * s.channels; ++i) {
            ASSERT_EQ(preload[i], static_cast<std::int16_t>(values[i] >> shift)) << i;
        }
    }

    TempFolder folder;
    SampleBudget budget {1024};
    RecordingReport report;
    PreloadSeconds preload {1.0f, 3.0f};
};

}  // namespace

TEST_F(GigaBankTest, OpenListsProgramsAndForgivesLateDamage)
{
    GigFilePlan plan;
    plan.version = 2;
    plan.minimumSize = 8000;  // ends with a 'JUNK' chunk
    plan.instruments = {Instrument("Piano", {0}), Instrument("Str\xB4ngs", {0}),
                        Instrument("Organ", {0})};
    const auto path = Write(plan);
    ASSERT_TRUE(Patch(path, "INAM", "ICMT"));  // the first INFO list starts with another chunk
    ASSERT_TRUE(Patch(path, "JUNK", "\x01\x02\x03\x04"));  // thrown after 'ptbl' and 'wvpl'

    GigaBank bank(budget);
    CapturedLog log;
    ASSERT_TRUE(bank.Open(path));
    EXPECT_TRUE(log.Has("*** catch error ***"));
    EXPECT_EQ(bank.Version(), 2);
    EXPECT_EQ(bank.FileName(), "bank.gig");
    ASSERT_EQ(bank.ProgramCount(), 3);
    EXPECT_EQ(bank.Program(0)->name, "");
    EXPECT_EQ(bank.Program(1)->name, "Str'ngs");
    EXPECT_EQ(bank.Program(2)->name, "Organ");
    EXPECT_EQ(bank.LoadProgram(3, &report), nullptr);  // program 3 of 3
    EXPECT_TRUE(report.statuses.empty());
    EXPECT_NE(bank.LoadProgram(2, &report), nullptr);
}

TEST_F(GigaBankTest, RefusesFilesItCannotUse)
{
    GigaBank bank(budget);
    GigFilePlan noSamples;
    noSamples.samples.clear();
    noSamples.instruments = {Instrument("Empty", {-1})};
    EXPECT_FALSE(bank.Open(Write(noSamples, "nosamples.gig")));
    GigFilePlan tiny;
    tiny.minimumSize = 0;
    tiny.samples[0].frames = 200;
    EXPECT_FALSE(bank.Open(Write(tiny, "tiny.gig")));
    const auto early = Write(GigFilePlan {}, "early.gig");
    ASSERT_TRUE(Patch(early, "ptbl", "\x01\x02\x03\x04"));  // thrown before the pool is known
    EXPECT_FALSE(bank.Open(early));

    GigFilePlan more;
    more.instruments = {Instrument("A", {0}), Instrument("B", {0})};
    more.instrumentCount = 1;
    {
        CapturedLog log;
        EXPECT_FALSE(bank.Open(Write(more, "more.gig")));
        EXPECT_TRUE(log.Has("more.gig")) << log.Text();
    }
    // A count no file of this size can hold is refused before anything is allocated for it.
    more.instrumentCount = 0x7FFFFFFF;
    EXPECT_FALSE(bank.Open(Write(more, "huge.gig")));
}

TEST_F(GigaBankTest, LoadReadsEachPreloadOnceAndCountsHolders)
{
    GigFilePlan plan;
    plan.samples = {Sample(500), Sample(700), Sample(100)};
    plan.samples[1].channels = 2;
    plan.instruments = {Instrument("A", {0, 1, 2}), Instrument("B", {1})};
    GigaBank bank(budget);
    ASSERT_TRUE(bank.Open(Write(plan)));

    CapturedLog log;
    GigaProgram* a = bank.LoadProgram(0, &report);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(report.statuses, (std::vector<int> {2, 3}));
    // The 100-frame sample is never played: two preloads, not three.
    EXPECT_EQ(report.progress, (std::vector<std::pair<int, int>> {{1, 2}, {2, 2}}));
    EXPECT_EQ(a->refCount, 1);
    EXPECT_EQ(a->distinctSampleCount, 2);
    EXPECT_FALSE(a->needsStreaming);
    EXPECT_TRUE(log.Has("Memory samples= 0 MB"));
    EXPECT_TRUE(log.Has("GigaBank::LoadProgram() -> success"));
    const auto samples = bank.Samples();
    EXPECT_EQ(a->Regions()[2].Zones()[0].sample, nullptr);
    const GigWriter writer(plan);
    for (int s : {0, 1}) {
        const GigaSample& sample = samples[static_cast<std::size_t>(s)];
        EXPECT_EQ(sample.preloadFrames, sample.frameCount);
        EXPECT_EQ(sample.streamOffset, sample.dataOffset + sample.dataSize);
        ExpectPreload(sample, writer.Values(s));
    }

    report.Clear();
    EXPECT_EQ(bank.LoadProgram(0, &report), a);
    EXPECT_EQ(a->refCount, 2);
    EXPECT_TRUE(report.statuses.empty() && report.progress.empty());

    // B shares sample 1: linked, neither given memory nor read again.
    GigaMemory* const record = samples[1].memory;
    GigaProgram* b = bank.LoadProgram(1, &report);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(report.progress.empty());
    EXPECT_EQ(samples[1].memory, record);
    EXPECT_EQ(samples[1].refCount, 2);

    // The shared sample keeps A's record alive for B after A is gone.
    a->Release();
    a->Release();
    EXPECT_TRUE(record->Allocated());
    ExpectPreload(samples[1], writer.Values(1));
    b->Release();
    EXPECT_FALSE(record->Allocated());
}

TEST_F(GigaBankTest, AProgramReloadsWhileAnotherStillHoldsPartOfItsPreloads)
{
    // C = {s}, A = {s, t}, B = {t}. s is read into C's record, t into A's.
    GigFilePlan plan;
    plan.samples = {Sample(500), Sample(700)};
    plan.instruments = {Instrument("C", {0}), Instrument("A", {0, 1}), Instrument("B", {1})};
    GigaBank bank(budget);
    ASSERT_TRUE(bank.Open(Write(plan)));
    GigaProgram* c = bank.LoadProgram(0, nullptr);
    GigaProgram* a = bank.LoadProgram(1, nullptr);
    GigaProgram* b = bank.LoadProgram(2, nullptr);
    ASSERT_TRUE(c && a && b);
    // C and A go; B keeps A's record alive for t, while s's record (C's) is freed.
    c->Release();
    a->Release();
    EXPECT_FALSE(a->Loaded());

    // A comes back: s needs a preload again though A's own record is still in use.
    a = bank.LoadProgram(1, nullptr);
    ASSERT_NE(a, nullptr);
    const GigWriter writer(plan);
    ExpectPreload(bank.Samples()[0], writer.Values(0));
    ExpectPreload(bank.Samples()[1], writer.Values(1));
    a->Release();
    b->Release();
    EXPECT_EQ(budget.Total(), 0) << "every record gave its charge back";
}

TEST_F(GigaBankTest, PreloadSizeFollowsTheTolerance)
{
    // At 1000 Hz a 3-second tolerance holds 3000 frames whole; a 1-second minimum preloads 1000.
    GigFilePlan plan;
    plan.samples = {Sample(3000), Sample(3001), Sample(9000), Sample(3001)};
    plan.samples[2].loop = true;
    plan.samples[2].loopEnd = 8000;
    plan.samples[3].compressed = true;
    plan.instruments = {Instrument("Whole", {0, 2}), Instrument("Streamed", {1}),
                        Instrument("Compressed", {3})};
    GigaBank bank(budget);
    ASSERT_TRUE(bank.Open(Write(plan)));
    const GigWriter writer(plan);

    GigaProgram* whole = bank.LoadProgram(0, nullptr);
    ASSERT_NE(whole, nullptr);
    const auto samples = bank.Samples();
    EXPECT_EQ(samples[0].preloadFrames, 3000);
    EXPECT_EQ(samples[2].preloadFrames, 9000);
    EXPECT_FALSE(whole->needsStreaming);

    GigaProgram* streamed = bank.LoadProgram(1, nullptr);
    ASSERT_NE(streamed, nullptr);
    EXPECT_EQ(samples[1].preloadFrames, 1000);
    EXPECT_TRUE(streamed->needsStreaming);
    ExpectPreload(samples[1], writer.Values(1));
    EXPECT_EQ(samples[1].streamOffset, samples[1].dataOffset + 1000 * 2);

    // Compressed: 12 blocks of 256 frames; the preload ends on a block boundary (768 frames),
    // and a reader started where it ended goes on with frame 768.
    ASSERT_NE(bank.LoadProgram(2, nullptr), nullptr);
    GigaSample& c = samples[3];
    ASSERT_EQ(c.frameCount, 3072);
    EXPECT_EQ(c.preloadFrames, 768);
    const auto values = writer.Values(3);
    ExpectPreload(c, values);
    GigaFile file;
    ASSERT_TRUE(file.Open(bank.Path()));
    GigaSampleReader reader;
    ASSERT_TRUE(reader.Open(c, file.Input(), c.streamOffset));
    std::array<std::int16_t, 300> rest {};
    ASSERT_EQ(reader.ReadShorts(rest, 300), 300);
    for (std::size_t i = 0; i < rest.size(); ++i) ASSERT_EQ(rest[i], values[768 + i]);
}

TEST_F(GigaBankTest, NotEnoughMemoryLeavesTheBudgetAsItWas)
{
    // A looped sample is held whole however long: 700000 values, about 1.3 MB.
    GigFilePlan plan;
    plan.samples = {Sample(700000, 44100)};
    plan.samples[0].loop = true;
    plan.samples[0].loopEnd = 699999;
    SampleBudget small(0);
    GigaBank bank(small);
    ASSERT_TRUE(bank.Open(Write(plan)));

    CapturedLog log;
    EXPECT_EQ(bank.LoadProgram(0, &report), nullptr);
    EXPECT_EQ(report.statuses, (std::vector<int> {2, 5}));
    EXPECT_TRUE(log.Has("Memory samples= 1 MB"));
    EXPECT_TRUE(log.Has("Error: Not enough memory"));
    EXPECT_EQ(small.Total(), 0);
    EXPECT_FALSE(bank.Program(0)->Loaded());

    // With room the same program loads in full: nothing was left half reserved.
    small.SetLimit(100);
    GigaProgram* program = bank.LoadProgram(0, &report);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(bank.Samples()[0].preloadFrames, 700000);
    EXPECT_EQ(small.Total(), 1);
    program->Release();
    EXPECT_EQ(small.Total(), 0);
}

TEST_F(GigaBankTest, FailedLoadsLeaveTheProgramRegionlessAndTheBudgetUntouched)
{
    GigFilePlan plan;
    plan.samples = {Sample(500), Sample(1024)};
    plan.samples[1].compressed = true;
    plan.samples[1].bits = 24;
    plan.samples[1].modes = {3, 3};
    plan.instruments = {Instrument("Short", {0}), Instrument("Broken", {0}),
                        Instrument("BadBlock", {1}), Instrument("Fine", {0})};
    plan.instruments[0].regionCount = 3;  // 'insh' promises three regions, 'lrgn' holds one
    const auto path = Write(plan);
    ASSERT_TRUE(Patch(path, "3ewa",
                      "\x01"
                      "ewa",
                      1));  // a bad chunk in "Broken"
    {
        GigaFile file;
        std::array<GigaSample, 2> pool;
        ASSERT_TRUE(file.Open(path));
        ASSERT_EQ(file.ReadWavePool(pool), 2);
        auto bytes = ReadFileBytes(path);
        bytes[static_cast<std::size_t>(pool[1].dataOffset) + 525] = 1;  // block 2: a 16-bit mode
        ASSERT_TRUE(WriteFileBytes(path, bytes.data(), bytes.size()));
    }
    GigaBank bank(budget);
    ASSERT_TRUE(bank.Open(path));
    CapturedLog log;
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (int p = 0; p < 3; ++p) {
            EXPECT_EQ(bank.LoadProgram(p, nullptr), nullptr) << p;
            EXPECT_FALSE(bank.Program(p)->Loaded()) << p;
            EXPECT_EQ(bank.Program(p)->refCount, 0);
        }
        EXPECT_EQ(bank.Samples()[0].refCount, 0);
        EXPECT_FALSE(bank.Samples()[1].loaded);
        EXPECT_EQ(budget.Total(), 0);
    }
    EXPECT_TRUE(log.Has("fewer regions than 'insh' gives"));
    EXPECT_TRUE(log.Has("*** catch error ***"));
    EXPECT_TRUE(log.Has("damaged block"));
    // The sample list survived the errors: the same samples serve the next program.
    GigaSample* const first = bank.Samples().data();
    ASSERT_NE(bank.LoadProgram(3, nullptr), nullptr);
    EXPECT_EQ(bank.Samples().data(), first);
    EXPECT_TRUE(first->loaded);
}

TEST_F(GigaBankTest, ExtensionFilesAddTheirSamplesAndAMissingOneFailsTheLoad)
{
    GigFilePlan plan;
    plan.samples = {Sample(400), Sample(600), Sample(800)};
    plan.samples[1].file = 1;
    plan.samples[2].file = 2;
    plan.samples[2].bits = 24;
    plan.instruments = {Instrument("Spread", {0, 1, 2})};
    const auto path = Write(plan);
    const auto second = folder.File(GigWriter::ExtensionName("bank", 2));
    std::filesystem::rename(second, folder.File("elsewhere"));

    GigaBank bank(budget);
    ASSERT_TRUE(bank.Open(path));
    {
        CapturedLog log;
        EXPECT_EQ(bank.LoadProgram(0, &report), nullptr);
        EXPECT_TRUE(log.Has(second)) << log.Text();
    }
    EXPECT_FALSE(bank.SampleListBuilt());

    std::filesystem::rename(folder.File("elsewhere"), second);
    GigaProgram* program = bank.LoadProgram(0, &report);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(bank.FileCount(), 3);
    EXPECT_EQ(program->maxBitDepth, 24);
    const GigWriter writer(plan);
    for (int s = 0; s < 3; ++s) {
        ExpectPreload(bank.Samples()[static_cast<std::size_t>(s)], writer.Values(s));
    }
}

namespace {

// A file cut inside its last sample, held whole or streamed, plain or block-compressed (with its
// 'ewav' before its data, or after them as our writer puts it, where the cut takes it).
struct CutCase {
    const char* name;
    bool compressed, streamed, ewavFirst;
};

class CutFile : public GigaBankTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutFile, ProgramsWhoseSamplesAreThereLoadAndTheCutSampleKeepsWhatIsThere)
{
    const CutCase c = GetParam();
    GigFilePlan plan;
    // At 1000 Hz: held whole up to 3000 frames; streamed samples preload 1000 (768 compressed).
    plan.samples = {Sample(512), Sample(c.streamed ? 9216 : 1536)};
    for (GigSamplePlan& s : plan.samples) s.compressed = c.compressed;
    plan.instruments = {Instrument("Whole", {0}), Instrument("Cut", {1})};
    const auto path = Write(plan);
    if (c.ewavFirst) {
        ASSERT_TRUE(EwavBeforeData(path, 1));
    }
    const int kept = c.streamed ? 5120 : 1280;  // whole blocks
    std::array<GigaSample, 2> pool;
    GigaFile file;
    ASSERT_TRUE(file.Open(path) && file.ReadWavePool(pool) == 2);
    const int bytes = c.compressed ? kept / 256 * 261 : kept * 2;
    std::filesystem::resize_file(path, std::uintmax_t(pool[1].dataOffset) + bytes + 1);

    GigaBank bank(budget);
    CapturedLog log;
    ASSERT_TRUE(bank.Open(path));
    EXPECT_TRUE(log.Has(path)) << "the cut is logged";
    ASSERT_NE(bank.LoadProgram(0, nullptr), nullptr);
    GigaProgram* cut = bank.LoadProgram(1, nullptr);
    if (c.compressed && !c.ewavFirst) {
        EXPECT_EQ(cut, nullptr) << "compressed data are not played as plain values";
        return;
    }
    ASSERT_NE(cut, nullptr) << log.Text();
    EXPECT_EQ(cut->needsStreaming, c.streamed);
    // Preload and stream together give the frames that are there, then silence.
    const GigaSample& s = bank.Samples()[1];
    std::vector<std::int16_t> heard(static_cast<std::size_t>(s.frameCount));
    std::copy_n(s.memory->Address(s.memoryOffset), s.preloadFrames, heard.begin());
    ASSERT_TRUE(file.Open(path));
    GigaSampleReader reader;
    ASSERT_TRUE(reader.Open(s, file.Input(), s.streamOffset));
    reader.ReadShorts(std::span(heard).subspan(std::size_t(s.preloadFrames)), s.frameCount);
    const auto values = GigWriter(plan).Values(1);
    for (int i = 0; i < s.frameCount; ++i) ASSERT_EQ(heard[i], i < kept ? values[i] : 0) << i;
}

INSTANTIATE_TEST_SUITE_P(GigaBank, CutFile,
                         ::testing::Values(CutCase {"Held", false, false, false},
                                           CutCase {"Streamed", false, true, false},
                                           CutCase {"CompressedHeld", true, false, true},
                                           CutCase {"CompressedStreamed", true, true, true},
                                           CutCase {"CompressedLostItsEwav", true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST_F(GigaBankTest, AZoneWhoseWavePoolIndexIsOutsideThePoolStaysSilent)
{
    GigFilePlan plan;
    plan.instruments = {Instrument("A", {0, 7})};
    const auto path = Write(plan);
    GigaBank bank(budget);
    CapturedLog log;
    ASSERT_TRUE(bank.Open(path));
    GigaProgram* program = bank.LoadProgram(0, nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(program->Regions()[0].Zones()[0].sample, nullptr);
    EXPECT_EQ(program->Regions()[1].Zones()[0].sample, nullptr);
    EXPECT_TRUE(log.Has("wave pool index 7 of 1 samples")) << log.Text();
    EXPECT_TRUE(log.Has(path));
    EXPECT_FALSE(bank.Damaged());
}
