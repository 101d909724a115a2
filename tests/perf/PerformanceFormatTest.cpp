// The performance writer: the exact layout of the file, and a rack that comes back as it was.
#include <cstring>

#include "tests/perf/PerfFixture.h"

namespace perftest {
namespace {

struct Chunk {
    std::string id;
    std::string listType;
    std::int64_t size = 0;
};

// The children of the chunk the reader stands on.
std::vector<Chunk> Children(CImpRiff& r)
{
    std::vector<Chunk> out;
    const int level = r.Level() + 1;
    while (r.OpenChunk(level))
        out.push_back({std::string(r.ChunkId()), std::string(r.ListType()), r.ChunkSize()});
    return out;
}

TEST_F(PerfTest, AnEmptyRackIs1752BytesWithSixteenToneEntriesInOrder)
{
    const Bytes bytes = ChunkOf(player);
    ASSERT_EQ(bytes.size(), 1752u);

    CImpRiff r;
    ASSERT_TRUE(r.OpenRiffMemory(bytes));
    ASSERT_TRUE(r.OpenChunk(0));
    EXPECT_TRUE(r.ChunkCmp("RIFF", "KyGm"));
    EXPECT_EQ(r.ChunkSize(), 1752 - 8);
    ASSERT_TRUE(r.OpenChunk(1));
    EXPECT_TRUE(r.ChunkCmp("LIST", "tone"));
    for (int i = 0; i < 16; ++i) {
        ASSERT_TRUE(r.OpenChunk(2)) << i;
        EXPECT_TRUE(r.ChunkCmp("RIFF", "tone"));
        ASSERT_TRUE(r.OpenChunk(3));
        EXPECT_TRUE(r.ChunkCmp("indx"));
        std::int32_t index = -1;
        ASSERT_TRUE(r.ReadInts(std::span(&index, 1)));
        EXPECT_EQ(index, i);
        ASSERT_TRUE(r.OpenChunk(3));
        EXPECT_TRUE(r.ChunkCmp("type"));
        char type[4] = {};
        ASSERT_TRUE(r.Read(type, 1, 4));
        EXPECT_EQ(std::string(type, 4), "agig");
        ASSERT_TRUE(r.OpenChunk(3));
        EXPECT_TRUE(r.ChunkCmp("RIFF", "kytn"));
        const std::vector<Chunk> kytn = Children(r);
        ASSERT_EQ(kytn.size(), 4u);
        const std::pair<const char*, int> expected[] = {
            {"stak", 8}, {"midi", 4}, {"outb", 4}, {"para", 12}};
        for (std::size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(kytn[c].id, expected[c].first);
            EXPECT_EQ(kytn[c].size, expected[c].second);
        }
    }
    EXPECT_FALSE(r.OpenChunk(2));
}

TEST_F(PerfTest, TheDefaultToneValuesAreStoredAsTheyAre)
{
    const Bytes bytes = ChunkOf(player);
    // Tone 5's "midi" and "para": channel 5, volume 90, pan 64, tune 0.
    const std::size_t tone5 = 24 + 5 * 108;
    std::int32_t midi = 0;
    std::memcpy(&midi, bytes.data() + tone5 + 12 + 12 + 12 + 12 + 16 + 8, 4);
    EXPECT_EQ(midi, 5);
    std::int32_t para[3] = {};
    std::memcpy(para, bytes.data() + tone5 + 108 - 12, 12);
    EXPECT_EQ(para[0], 90);
    EXPECT_EQ(para[1], 64);
    EXPECT_EQ(para[2], 0);
}

TEST_F(PerfTest, AFiveCharacterStackNameTakesSixBytesWithAZero)
{
    Tone(player, 0).SetStackName("Piano");
    Tone(player, 1).SetStackName("Organs");
    const Bytes bytes = ChunkOf(player);
    EXPECT_EQ(bytes.size(), 1752u + 8 + 6 + 8 + 6);
    // Tone 0's "name" comes first in its "kytn".
    const std::byte* name = bytes.data() + 24 + 36 + 12;
    EXPECT_EQ(std::memcmp(name, "name\x06\0\0\0Piano\0", 14), 0);
}

void SetUpRack(GigaPlayer& p, const std::string& gig)
{
    GigaTone& a = *p.Giga(2);
    a.SetMidiChannel(9);
    a.SetOutputBus(7);
    a.SetVolume(101);
    a.SetPan(20);
    a.SetTune(-35);
    a.SetStackName("Strings & Pads");
    GigaPart* l0 = a.AddLayer(gig, 1);
    GigaPart* l1 = a.AddLayer(gig, 0);
    a.SetSelectMode(GigaTone::kSelectKeySwitch);
    a.SetKeySwitchLow(24);
    l0->volume = 100;
    l0->pan = 3;
    l0->tune = 1200;
    l0->keyLow = 36;
    l0->keyHigh = 60;
    l0->keyOffset = -12;
    l0->bendRange = 7;
    for (int i = 0; i < 6; ++i) {
        l0->amplifierOffsets[static_cast<std::size_t>(i)] = 0.5f * static_cast<float>(i) - 1.0f;
        l0->filterOffsets[static_cast<std::size_t>(i)] = 10.0f + static_cast<float>(i);
    }
    l0->filterSwitch = 1;
    l1->keyHigh = 127;

    GigaTone& b = *p.Giga(15);
    b.SetOutputBus(15);
    b.AddLayer(gig, 1);
    b.SetSelectMode(64);
}

TEST_F(PerfTest, SavingAndLoadingRestoresEveryToneAndLayerValue)
{
    const std::string gig = WriteGig();
    SetUpRack(player, gig);
    const Bytes saved = ChunkOf(player);
    // Expression is not stored: the effective volume comes back equal to the volume.
    fresh.Giga(2)->ControlChange(11, 10, 0);
    ASSERT_TRUE(Read(fresh, saved));

    const GigaTone& a = Tone(fresh, 2);
    EXPECT_EQ(a.MidiChannel(), 9);
    EXPECT_EQ(a.OutputBus(), 7);
    EXPECT_EQ(a.Volume(), 101);
    EXPECT_EQ(a.EffectiveVolume(), 101);
    EXPECT_EQ(a.Pan(), 20);
    EXPECT_EQ(a.Tune(), -35);
    EXPECT_EQ(a.StackName(), "Strings & Pads");
    EXPECT_EQ(a.SelectMode(), GigaTone::kSelectKeySwitch);
    EXPECT_EQ(a.KeySwitchLow(), 24);
    EXPECT_EQ(a.Status(), GigaTone::kLoadRequested);
    ASSERT_EQ(a.LayerCount(), 2);
    const GigaPart& l0 = *a.Layer(0);
    EXPECT_EQ(l0.bankPath, gig);
    EXPECT_EQ(l0.programIndex, 1);
    EXPECT_EQ(l0.state.Get(), GigaPart::kLoadRequested);
    EXPECT_EQ(l0.volume.Get(), 100);
    EXPECT_EQ(l0.pan.Get(), 3);
    EXPECT_EQ(l0.tune.Get(), 1200);
    EXPECT_EQ(l0.keyLow.Get(), 36);
    EXPECT_EQ(l0.keyHigh.Get(), 60);
    EXPECT_EQ(l0.keyOffset.Get(), -12);
    EXPECT_EQ(l0.bendRange.Get(), 7);
    EXPECT_EQ(l0.filterSwitch.Get(), 1);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(l0.amplifierOffsets[static_cast<std::size_t>(i)].Get(),
                  0.5f * static_cast<float>(i) - 1.0f);
        EXPECT_EQ(l0.filterOffsets[static_cast<std::size_t>(i)].Get(),
                  10.0f + static_cast<float>(i));
    }
    EXPECT_EQ(a.Layer(1)->programIndex, 0);
    EXPECT_EQ(a.Layer(1)->keyHigh.Get(), 127);
    EXPECT_EQ(Tone(fresh, 15).SelectMode(), 64);
    EXPECT_EQ(Tone(fresh, 15).OutputBus(), 15);
    EXPECT_EQ(Tone(fresh, 0).LayerCount(), 0);
    EXPECT_EQ(Tone(fresh, 0).Status(), GigaTone::kEmpty);

    EXPECT_EQ(ChunkOf(fresh), saved) << "the same rack writes the same bytes";
}

TEST_F(PerfTest, SavingClearsTheModifiedFlags)
{
    Tone(player, 4).SetModified(true);
    ASSERT_TRUE(player.IsModified());
    ChunkOf(player);
    EXPECT_FALSE(player.IsModified());
}

TEST_F(PerfTest, ALayerMarkedForRemovalIsAnEmptyPart)
{
    Tone(player, 0).AddLayer(WriteGig(), 0);
    Tone(player, 0).Clear();
    const Bytes bytes = ChunkOf(player);
    ASSERT_EQ(bytes.size(), 1752u + 8);
    EXPECT_EQ(std::memcmp(bytes.data() + 24 + 108, "part\0\0\0\0", 8), 0);
}

TEST_F(PerfTest, SaveAndLoadByPathUseTheSameBytesAndRememberThePath)
{
    SetUpRack(player, WriteGig());
    EXPECT_FALSE(player.Save()) << "no path yet";
    const std::string path = folder.File("rack.mrp");
    ASSERT_TRUE(player.Save(path));
    EXPECT_EQ(player.Path(), path);
    const std::vector<char> file = testsupport::ReadFileBytes(path);
    const Bytes chunk = ChunkOf(player);
    ASSERT_EQ(file.size(), chunk.size());
    EXPECT_EQ(std::memcmp(file.data(), chunk.data(), file.size()), 0);

    ASSERT_TRUE(fresh.Load(path));
    EXPECT_EQ(fresh.Path(), path);
    EXPECT_EQ(ChunkOf(fresh), chunk);

    const std::string junk = folder.File("junk.mrp");
    ASSERT_TRUE(testsupport::WriteFileBytes(junk, "RIFF\4\0\0\0WAVE", 12));
    EXPECT_FALSE(fresh.Load(junk));
    EXPECT_FALSE(fresh.Load(folder.File("absent.mrp")));
    EXPECT_EQ(fresh.Path(), path) << "a refused file keeps the current path";
    EXPECT_FALSE(player.Save(folder.File("no/such/folder.mrp")));
}

TEST_F(PerfTest, TheHostStateNeedsNoWritableFolder)
{
    testsupport::ScopedEnv home("HOME", "/proc/no-such-home");
    testsupport::ScopedEnv data("XDG_DATA_HOME", "/proc/no-such-data");
    SetUpRack(player, WriteGig());
    const Bytes bytes = ChunkOf(player);
    ASSERT_GT(bytes.size(), 1752u);
    fresh.LoadFromMemory(bytes.data(), bytes.size());
    fresh.WaitWhileLoading();
    EXPECT_EQ(Tone(fresh, 2).LayerCount(), 2);
}

}  // namespace
}  // namespace perftest
