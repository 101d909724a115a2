// Performances whose .gig files were moved, cut short or spoilt, met the way a user meets them:
// the saved rack is loaded into a player and notes are played through its rendering pass. The
// rest of the rack loads and plays, the broken layers are reported and kept, and once the file
// is whole again the same performance plays in full.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "gig/GigaProgram.h"
#include "player/KyBufferList.h"
#include "tests/bank/BankTestSupport.h"
#include "tests/perf/PerfFixture.h"
#include "tests/support/Signal.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace perftest {
namespace {

namespace fs = std::filesystem;
using testsupport::CapturedLog;
using testsupport::Frequency;
using testsupport::Peak;

constexpr int kBlock = 512;
constexpr int kRate = 44100;
constexpr int kGood = 0;    // tone, MIDI channel and bus of the intact instrument
constexpr int kBroken = 1;  // the same for the one whose file is damaged
constexpr int kKey = 60;    // the keyboard's upper region: C4 at its own pitch
constexpr double kKeyHz = 261.63;
constexpr int kDroneKey = 45;

// What the player gave one bus while a note played, and whether every bus stayed finite.
struct Heard {
    std::vector<float> left;
    bool finite = true;
};

// Plays `key` on `channel` for `seconds` through the player's rendering pass, as an offline
// host does (streamed voices wait for the disk thread), then lets the note go.
Heard Play(GigaPlayer& player, int channel, int key, double seconds, int velocity = 40)
{
    KyBufferList buses;
    buses.SetBusCount(16);
    buses.AllocateOwned(kBlock);
    const int bus = player.Giga(channel)->OutputBus();
    Heard heard;
    player.NoteOn(channel, key, velocity, 0);
    player.SetRenderingOffline(true);
    const int blocks = static_cast<int>(seconds * kRate / kBlock);
    for (int b = 0; b < blocks + 40; ++b) {
        if (b == blocks) player.AllNotesOff(-1);
        buses.ZeroAll(kBlock);
        buses.ClearReadyFlags();
        player.Process(&buses, kBlock);
        for (int i = 0; i < buses.BusCount(); ++i)
            for (int f = 0; f < kBlock; ++f)
                heard.finite = heard.finite && std::isfinite(buses.GetBus(i).left[f]) &&
                               std::isfinite(buses.GetBus(i).right[f]);
        if (b < blocks)
            heard.left.insert(heard.left.end(), buses.GetBus(bus).left,
                              buses.GetBus(bus).left + kBlock);
    }
    return heard;
}

// Whether one of the log's failure lines ("*** ... ***") names `path`.
bool ReportsFailure(const CapturedLog& log, const std::string& path)
{
    std::istringstream lines(log.Text());
    for (std::string line; std::getline(lines, line);)
        if (line.find("***") != std::string::npos && line.find(path) != std::string::npos)
            return true;
    return false;
}

std::size_t Find(const std::vector<char>& bytes, std::string_view what, int nth = 0)
{
    auto at = bytes.begin();
    for (int i = 0; i <= nth && at != bytes.end(); ++i) {
        if (i > 0) ++at;
        at = std::search(at, bytes.end(), what.begin(), what.end());
    }
    EXPECT_NE(at, bytes.end()) << what;
    return static_cast<std::size_t>(at - bytes.begin());
}

void Cut(const std::string& path, std::size_t length)
{
    fs::resize_file(path, length);
}

enum class Damage {
    kMoved,
    kRenamed,
    kCutInHeader,
    kCutInInstrumentList,
    kCutInKeysSamples,
    kCutInDroneSamples,
    kGarbage,
    kSpoiltInstrument,  // whole, but a chunk of the keyboard's first region is misnamed
};

std::string Name(const testing::TestParamInfo<Damage>& info)
{
    constexpr const char* names[] = {"Moved",
                                     "Renamed",
                                     "CutInHeader",
                                     "CutInInstrumentList",
                                     "CutInKeysSamples",
                                     "CutInDroneSamples",
                                     "Garbage",
                                     "SpoiltInstrument"};
    return names[static_cast<int>(info.param)];
}

class DamagedInstruments : public PerfTest {
protected:
    std::string WriteDemo(const std::string& name)
    {
        const std::string path = folder.File(name);
        testsupport::GigWriter(demo::DemoBank()).Write(path);
        return path;
    }

    // The keyboard of `keys` on tone 0 and, unless `drone` is negative, program `drone` of
    // broken.gig on tone 1 (on its own bus), built in the other player, which lets go of its
    // layers afterwards.
    template <typename Keep>
    auto Rack(const std::string& keys, int drone, Keep keep)
    {
        player.Giga(kGood)->AddLayer(keys, demo::kKeys);
        if (drone >= 0) {
            player.Giga(kBroken)->AddLayer(broken, drone);
            player.Giga(kBroken)->Layer(0)->volume = 100;
            player.Giga(kBroken)->SetOutputBus(kBroken);
        }
        auto kept = keep();
        player.Giga(kGood)->Clear();
        player.Giga(kBroken)->Clear();
        player.RequestLoading();
        player.WaitWhileLoading();
        return kept;
    }
    Bytes HostState(const std::string& keys, int drone)
    {
        return Rack(keys, drone, [&] { return ChunkOf(player); });
    }
    // The rack the user saved: the keyboards of good.gig and broken.gig, as a file.
    std::string SaveRack(int brokenProgram = demo::kKeys)
    {
        return Rack(good, brokenProgram, [&] {
            const std::string rack = folder.File("rack.mrp");
            EXPECT_TRUE(player.Save(rack));
            return rack;
        });
    }

    // The editor's way: open the performance file and start loading its instruments.
    void Open(const std::string& rack)
    {
        ASSERT_TRUE(fresh.Load(rack));
        fresh.RequestLoading();
        fresh.WaitWhileLoading();
        if (!fresh.IsAudioRunning()) fresh.KyStart();
    }

    void Spoil(Damage damage)
    {
        const std::vector<char> bytes = testsupport::ReadFileBytes(broken);
        original = bytes;
        switch (damage) {
            case Damage::kMoved:
                fs::create_directory(folder.File("elsewhere"));
                fs::rename(broken, folder.File("elsewhere/broken.gig"));
                break;
            case Damage::kRenamed:
                fs::rename(broken, folder.File("broken-old.gig"));
                break;
            case Damage::kCutInHeader:
                Cut(broken, 20);
                break;
            case Damage::kCutInInstrumentList:
                Cut(broken, Find(bytes, "ins ", 1) + 100);
                break;
            case Damage::kCutInKeysSamples:
                Cut(broken, Find(bytes, "data", 1) + 40000);
                break;
            case Damage::kCutInDroneSamples:
                Cut(broken, Find(bytes, "data", 6) + 400000);
                break;
            case Damage::kGarbage: {
                std::vector<char> noise(bytes.size());
                std::mt19937 random(5);
                for (char& c : noise) c = static_cast<char>(random());
                ASSERT_TRUE(testsupport::WriteFileBytes(broken, noise.data(), noise.size()));
                break;
            }
            case Damage::kSpoiltInstrument:
                // Opening reads the program list only: this is met when the keyboard loads.
                ASSERT_TRUE(testsupport::Patch(broken, "rgnh", "r#nh"));
                break;
        }
    }

    // Puts the file back as it was, where it was.
    void Repair()
    {
        fs::remove(broken);
        ASSERT_TRUE(testsupport::WriteFileBytes(broken, original.data(), original.size()));
    }

    void ExpectKeysPlay(int tone)
    {
        const Heard heard = Play(fresh, tone, kKey, 0.5);
        EXPECT_TRUE(heard.finite);
        EXPECT_GT(Peak(heard.left), 0.002f) << "tone " << tone;
        EXPECT_NEAR(Frequency(heard.left), kKeyHz, kKeyHz * 0.03) << "tone " << tone;
    }

    std::string good = WriteDemo("good.gig");
    std::string broken = WriteDemo("broken.gig");
    std::vector<char> original;
};

class EveryDamage : public DamagedInstruments, public testing::WithParamInterface<Damage> {};

TEST_P(EveryDamage, TheRestOfTheRackLoadsAndPlaysWhileTheBrokenLayerIsReported)
{
    const std::string rack = SaveRack();
    Spoil(GetParam());
    {
        const CapturedLog log;
        Open(rack);
        EXPECT_TRUE(ReportsFailure(log, broken)) << log.Text();
        EXPECT_FALSE(ReportsFailure(log, good)) << log.Text();
    }

    const GigaTone& ok = Tone(fresh, kGood);
    EXPECT_EQ(ok.Status(), GigaTone::kLoaded);
    ASSERT_EQ(ok.LayerCount(), 1);
    EXPECT_EQ(ok.Layer(0)->state.Get(), GigaPart::kLoaded);

    const GigaTone& bad = Tone(fresh, kBroken);
    EXPECT_EQ(bad.Status(), GigaTone::kLoadedWithFailure);
    ASSERT_EQ(bad.LayerCount(), 1);
    EXPECT_EQ(bad.Layer(0)->state.Get(), GigaPart::kFileNotFound);
    EXPECT_EQ(bad.Layer(0)->program, nullptr);
    EXPECT_EQ(bad.DisplayName(), "broken.gig");

    ExpectKeysPlay(kGood);
    const Heard silent = Play(fresh, kBroken, kKey, 0.5);
    EXPECT_TRUE(silent.finite);
    EXPECT_EQ(Peak(silent.left), 0.0f);
    ExpectKeysPlay(kGood);
}

TEST_P(EveryDamage, ASaveWhileBrokenKeepsTheLayerAndPlaysInFullOnceTheFileIsBack)
{
    const std::string rack = SaveRack();
    Spoil(GetParam());
    Open(rack);
    ASSERT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoadedWithFailure);
    const std::string resaved = folder.File("resaved.mrp");
    ASSERT_TRUE(fresh.Save(resaved));
    const Bytes chunk = ChunkOf(fresh);
    const std::vector<char> bytes = testsupport::ReadFileBytes(resaved);
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), broken.begin(), broken.end()), bytes.end())
        << "the layer keeps its file";

    Repair();
    // Opening the performance the editor saved while the file was broken.
    Open(resaved);
    EXPECT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);
    ASSERT_EQ(Tone(fresh, kBroken).LayerCount(), 1);
    const GigaPart& layer = *Tone(fresh, kBroken).Layer(0);
    EXPECT_EQ(layer.state.Get(), GigaPart::kLoaded);
    ASSERT_NE(layer.program, nullptr);
    EXPECT_EQ(layer.program->name, "Demo Keys");
    EXPECT_EQ(layer.volume.Get(), 100);
    ExpectKeysPlay(kBroken);
    ExpectKeysPlay(kGood);

    // And the host's way: the state it kept while the file was broken.
    fresh.LoadFromMemory(chunk.data(), chunk.size());
    fresh.WaitWhileLoading();
    EXPECT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);
    ExpectKeysPlay(kBroken);
}

// Without reloading the performance: the user picks the instrument for that one tone again,
// the way the editor sets a tone, while the rest of the rack goes on playing.
TEST_P(EveryDamage, ChoosingTheInstrumentAgainOnceTheFileIsBackBringsTheToneBack)
{
    const std::string rack = SaveRack();
    Spoil(GetParam());
    Open(rack);
    ASSERT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoadedWithFailure);

    Repair();
    GigaTone& tone = Tone(fresh, kBroken);
    tone.Clear();
    ASSERT_NE(tone.AddLayer(broken, demo::kKeys), nullptr);
    ASSERT_TRUE(fresh.RequestLoading());
    fresh.WaitWhileLoading();
    EXPECT_EQ(tone.Status(), GigaTone::kLoaded);
    ASSERT_EQ(tone.LayerCount(), 1);
    EXPECT_EQ(tone.Layer(0)->state.Get(), GigaPart::kLoaded);
    ExpectKeysPlay(kBroken);
    ExpectKeysPlay(kGood);
}

// The file is cut short after the player opened it (a drive going away, a copy still under way):
// a program loaded from it later finds its sample data missing. It must be reported and kept,
// not dropped from the rack, and come back once the file is whole again.
TEST_F(DamagedInstruments, AProgramWhoseSamplesWereCutAfterTheFileOpenedIsReportedAndKept)
{
    const Bytes keysOnly = HostState(broken, -1);
    const Bytes withDrone = HostState(broken, demo::kDrone);

    fresh.LoadFromMemory(keysOnly.data(), keysOnly.size());
    fresh.WaitWhileLoading();
    ASSERT_EQ(Tone(fresh, kGood).Status(), GigaTone::kLoaded);
    original = testsupport::ReadFileBytes(broken);
    // Half a second into the drone: inside the head a load reads into memory.
    Cut(broken, Find(original, "data", 6) + kRate);

    {
        const CapturedLog log;
        fresh.LoadFromMemory(withDrone.data(), withDrone.size());
        fresh.WaitWhileLoading();
        EXPECT_TRUE(ReportsFailure(log, broken)) << log.Text();
    }
    EXPECT_EQ(Tone(fresh, kGood).Status(), GigaTone::kLoaded);
    const GigaTone& drone = Tone(fresh, kBroken);
    EXPECT_EQ(drone.Status(), GigaTone::kLoadedWithFailure);
    ASSERT_EQ(drone.LayerCount(), 1) << "the layer stays in the rack";
    EXPECT_EQ(drone.Layer(0)->state.Get(), GigaPart::kFileNotFound);
    EXPECT_EQ(drone.Layer(0)->program, nullptr);
    const Heard silent = Play(fresh, kBroken, kDroneKey, 1.0);
    EXPECT_TRUE(silent.finite);
    EXPECT_EQ(Peak(silent.left), 0.0f);
    ExpectKeysPlay(kGood);

    const Bytes saved = ChunkOf(fresh);
    Repair();
    fresh.LoadFromMemory(saved.data(), saved.size());
    fresh.WaitWhileLoading();
    ASSERT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);
    ASSERT_EQ(Tone(fresh, kBroken).LayerCount(), 1);
    EXPECT_EQ(Tone(fresh, kBroken).Layer(0)->state.Get(), GigaPart::kLoaded);
    const Heard back = Play(fresh, kBroken, kDroneKey, 2.0);
    EXPECT_TRUE(back.finite);
    const std::vector<float> steady(back.left.begin() + kRate, back.left.end());
    EXPECT_GT(Peak(steady), 0.002f);
    EXPECT_NEAR(Frequency(steady), 110.0, 110.0 * 0.03);
    ExpectKeysPlay(kGood);
}

// The demo bank, its drone (which streams) plain or block-compressed.
testsupport::GigFilePlan DroneBank(bool compressed)
{
    testsupport::GigFilePlan plan = demo::DemoBank();
    if (compressed) {
        testsupport::GigSamplePlan& drone = plan.samples[6];
        drone.values.resize(drone.values.size() - drone.values.size() % 256);
        drone.frames = static_cast<int>(drone.values.size());
        drone.compressed = true;
        drone.blockFrames = 256;
        drone.modes = {1, 1};
    }
    return plan;
}

class StreamedDamage : public DamagedInstruments, public testing::WithParamInterface<bool> {
protected:
    // Bytes of the drone's data holding its first `frames` frames (compressed: whole blocks of
    // a mode byte, two start values and 256 one-byte deltas).
    static std::size_t DataBytes(int frames, bool compressed)
    {
        return compressed ? static_cast<std::size_t>(frames / 256) * 261
                          : static_cast<std::size_t>(frames) * 2;
    }

    // Plays the drone and checks that it sounds up to `seconds` and not a frame after.
    void ExpectDroneUntil(double seconds)
    {
        const Heard heard = Play(fresh, kBroken, kDroneKey, 4.0);
        EXPECT_TRUE(heard.finite);
        const auto at = [&](double s) { return static_cast<std::size_t>(s * kRate); };
        const std::vector<float> played(heard.left.begin() + at(0.8),
                                        heard.left.begin() + at(seconds - 0.1));
        EXPECT_GT(Peak(played), 0.002f) << "the drone plays";
        EXPECT_GT(Peak(heard.left, at(seconds - 0.5), at(seconds - 0.1)), 0.002f)
            << "up to the end of its good data";
        EXPECT_NEAR(Frequency(played), 110.0, 110.0 * 0.03);
        EXPECT_EQ(Peak(heard.left, at(seconds + 0.05)), 0.0f) << "and nothing after its data";
        ExpectKeysPlay(kGood);
    }
};

// Cut or spoilt past the head in memory: the drone loads, and its stream from disk comes up
// short while it plays. The voice falls silent where the good data end.
TEST_P(StreamedDamage, ASampleDamagedWhileItStreamsFallsSilentWhereItsGoodDataEnd)
{
    const bool compressed = GetParam();
    testsupport::GigWriter(DroneBank(compressed)).Write(broken);
    const Bytes rack = HostState(good, demo::kDrone);
    fresh.LoadFromMemory(rack.data(), rack.size());
    fresh.WaitWhileLoading();
    ASSERT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);
    ASSERT_TRUE(Tone(fresh, kBroken).Layer(0)->program->needsStreaming);

    original = testsupport::ReadFileBytes(broken);
    const std::size_t data = Find(original, "data", 6) + 8;
    for (const double seconds : {2.5, 1.7}) {
        SCOPED_TRACE(seconds);
        const int frames = static_cast<int>(seconds * kRate) / 256 * 256;
        // Cut inside the next frame or block.
        Cut(broken, data + DataBytes(frames, compressed) + 1);
        ExpectDroneUntil(frames / double(kRate));
    }
    if (compressed) {
        // Whole again, but with a block whose mode byte means nothing: the file the player has
        // open is written over where it stands.
        std::vector<char> spoilt = original;
        const int frames = 2 * kRate / 256 * 256;
        spoilt[data + DataBytes(frames, true)] = static_cast<char>(0x7F);
        ASSERT_TRUE(testsupport::WriteFileBytes(broken, spoilt.data(), spoilt.size()));
        ExpectDroneUntil(frames / double(kRate));
    }
}

// The file goes away after the drone loaded (a drive unplugged) and the drone is played: its
// head sounds, the rest is silence. Once the file is back, reloading the performance plays the
// drone to its end again.
TEST_F(StreamedDamage, AStreamedSampleWhoseFileWentAwayPlaysAgainOnceItIsBack)
{
    const Bytes rack = HostState(good, demo::kDrone);
    fresh.LoadFromMemory(rack.data(), rack.size());
    fresh.WaitWhileLoading();
    ASSERT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);

    fs::rename(broken, folder.File("unplugged.gig"));
    const Heard head = Play(fresh, kBroken, kDroneKey, 2.5);
    EXPECT_TRUE(head.finite);
    EXPECT_GT(Peak(head.left, kRate / 2, kRate * 9 / 10), 0.002f) << "the head in memory plays";
    EXPECT_EQ(Peak(head.left, kRate * 11 / 10), 0.0f) << "nothing comes from the missing file";
    ExpectKeysPlay(kGood);

    fs::rename(folder.File("unplugged.gig"), broken);
    fresh.LoadFromMemory(rack.data(), rack.size());
    fresh.WaitWhileLoading();
    ASSERT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);
    ExpectDroneUntil(4.0);
}

INSTANTIATE_TEST_SUITE_P(Drone, StreamedDamage, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Compressed" : "Plain";
                         });

// The rack the user saved, its broken file cut inside its last sample (the drone): the keyboard
// of that file is whole, so both tones load and play it.
TEST_F(DamagedInstruments, AFileCutInsideItsLastSampleStillPlaysItsWholePrograms)
{
    const std::string rack = SaveRack();
    Spoil(Damage::kCutInDroneSamples);
    Open(rack);
    EXPECT_EQ(Tone(fresh, kGood).Status(), GigaTone::kLoaded);
    EXPECT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);
    ExpectKeysPlay(kBroken);
    ExpectKeysPlay(kGood);
}

// A performance naming a program its file does not have drops that layer; the file, opened
// for nothing, must not stay open behind the user's back: once the file has the program, the
// same performance plays it.
TEST_F(DamagedInstruments, AProgramMissingFromItsFilePlaysOnceTheFileHasIt)
{
    const std::string rack = SaveRack(3);
    Open(rack);
    EXPECT_EQ(Tone(fresh, kBroken).LayerCount(), 0);
    ExpectKeysPlay(kGood);

    testsupport::GigFilePlan plan = demo::DemoBank();
    plan.instruments.push_back(plan.instruments[demo::kKeys]);
    plan.instruments.back().name = "More Keys";
    testsupport::GigWriter(plan).Write(broken);
    Open(rack);
    EXPECT_EQ(Tone(fresh, kBroken).Status(), GigaTone::kLoaded);
    ASSERT_EQ(Tone(fresh, kBroken).LayerCount(), 1);
    ASSERT_NE(Tone(fresh, kBroken).Layer(0)->program, nullptr);
    EXPECT_EQ(Tone(fresh, kBroken).Layer(0)->program->name, "More Keys");
    ExpectKeysPlay(kBroken);
}

// A cut inside the drone leaves the broken tone's keyboard whole: it loads (see above).
INSTANTIATE_TEST_SUITE_P(Files, EveryDamage,
                         testing::Values(Damage::kMoved, Damage::kRenamed, Damage::kCutInHeader,
                                         Damage::kCutInInstrumentList, Damage::kCutInKeysSamples,
                                         Damage::kGarbage, Damage::kSpoiltInstrument),
                         Name);

}  // namespace
}  // namespace perftest
