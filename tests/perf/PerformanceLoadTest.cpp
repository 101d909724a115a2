// Performances with the background loader: instruments load after the read, a missing .gig
// survives a save, one host chunk waits for the load of the one before, a new performance
// empties the rack.
#include <chrono>
#include <thread>

#include "gig/GigaProgram.h"
#include "tests/perf/PerfFixture.h"

namespace perftest {
namespace {

TEST_F(PerfTest, AHostChunkLoadsItsInstrumentsInTheBackground)
{
    const std::string gig = WriteGig();
    player.Giga(3)->AddLayer(gig, 1);
    player.Giga(3)->Layer(0)->keyHigh = 127;
    player.Giga(3)->Layer(0)->bendRange = 2;
    const Bytes bytes = ChunkOf(player);

    fresh.LoadFromMemory(bytes.data(), bytes.size());
    fresh.WaitWhileLoading();
    const GigaTone& tone = Tone(fresh, 3);
    EXPECT_EQ(tone.Status(), GigaTone::kLoaded);
    ASSERT_EQ(tone.LayerCount(), 1);
    ASSERT_NE(tone.Layer(0)->program, nullptr);
    EXPECT_EQ(tone.Layer(0)->program->name, "Second");
    EXPECT_EQ(tone.DisplayName(), "Second");
    EXPECT_EQ(ChunkOf(fresh), bytes) << "a loaded layer writes what it read";
}

// A host restoring its project into an instance that already plays it: the tone's full stack
// is on its way out while the same full stack is read in, and no layer of it may be lost.
TEST_F(PerfTest, AFullStackReadIntoAToneThatPlaysOneKeepsEveryLayer)
{
    const std::string gig = WriteGig();
    GigaTone& tone = Tone(player, 5);
    for (int i = 0; i < GigaTone::kMaxLayers; ++i) {
        GigaPart* layer = tone.AddLayer(gig, i % 2);
        layer->keyHigh = 127;
        layer->bendRange = 2;
        layer->volume = 100 + i;
    }
    ASSERT_TRUE(player.RequestLoading());
    player.WaitWhileLoading();
    ASSERT_EQ(tone.LayerCount(), GigaTone::kMaxLayers);
    const Bytes bytes = ChunkOf(player);

    for (int reload = 0; reload < 2; ++reload) {
        player.LoadFromMemory(bytes.data(), bytes.size());
        player.WaitWhileLoading();
        ASSERT_EQ(tone.LayerCount(), GigaTone::kMaxLayers);
        for (int i = 0; i < GigaTone::kMaxLayers; ++i) {
            ASSERT_NE(tone.Layer(i)->program, nullptr) << "layer " << i;
            EXPECT_EQ(tone.Layer(i)->volume.Get(), 100 + i);
        }
        EXPECT_EQ(ChunkOf(player), bytes);
    }
    // Still one stack: a seventeenth layer is refused.
    EXPECT_EQ(tone.AddLayer(gig, 0), nullptr);
}

TEST_F(PerfTest, AMissingGigComesBackAsALayerWithoutProgram)
{
    const std::string missing = folder.File("gone.gig");
    GigaTone& tone = Tone(player, 0);
    tone.AddLayer(missing, 2);
    tone.Layer(0)->volume = 55;
    EXPECT_FALSE(tone.LoadPass());
    ASSERT_EQ(tone.Layer(0)->state.Get(), GigaPart::kFileNotFound);
    const Bytes saved = ChunkOf(player);
    EXPECT_GT(saved.size(), 1752u + 8) << "the part keeps its file and program";

    fresh.LoadFromMemory(saved.data(), saved.size());
    fresh.WaitWhileLoading();
    const GigaTone& back = Tone(fresh, 0);
    EXPECT_EQ(back.Status(), GigaTone::kLoadedWithFailure);
    ASSERT_EQ(back.LayerCount(), 1);
    const GigaPart& layer = *back.Layer(0);
    EXPECT_EQ(layer.state.Get(), GigaPart::kFileNotFound);
    EXPECT_EQ(layer.program, nullptr);
    EXPECT_EQ(layer.bankPath, missing);
    EXPECT_EQ(layer.programIndex, 2);
    EXPECT_EQ(layer.volume.Get(), 55);
    EXPECT_EQ(ChunkOf(fresh), saved) << "and survives any number of saves";
}

TEST_F(PerfTest, ASecondChunkWaitsForTheLoadOfTheFirst)
{
    const std::string gig = WriteGig();
    player.Giga(0)->AddLayer(gig, 0);
    player.Giga(1)->AddLayer(gig, 1);
    const Bytes first = ChunkOf(player);
    player.Giga(0)->Clear();
    player.Giga(5)->AddLayer(gig, 1);
    player.Giga(5)->SetVolume(44);
    const Bytes second = ChunkOf(player);

    fresh.LoadFromMemory(first.data(), first.size());
    fresh.LoadFromMemory(second.data(), second.size());
    fresh.WaitWhileLoading();
    EXPECT_EQ(Tone(fresh, 0).LayerCount(), 0);
    EXPECT_EQ(Tone(fresh, 1).LayerCount(), 1);
    EXPECT_EQ(Tone(fresh, 5).LayerCount(), 1);
    EXPECT_EQ(Tone(fresh, 5).Status(), GigaTone::kLoaded);
    EXPECT_EQ(Tone(fresh, 5).Volume(), 44);
}

TEST_F(PerfTest, ANewPerformanceEmptiesTheRackAndForgetsThePath)
{
    const std::string gig = WriteGig();
    player.Giga(2)->AddLayer(gig, 0);
    player.Giga(9)->AddLayer(gig, 1);
    ASSERT_TRUE(player.Save(folder.File("a.mrp")));
    const Bytes saved = ChunkOf(player);
    player.LoadFromMemory(saved.data(), saved.size());
    player.WaitWhileLoading();
    ASSERT_EQ(Tone(player, 2).Status(), GigaTone::kLoaded);
    Tone(player, 2).SetModified(true);

    player.NewPerformance();
    player.WaitWhileLoading();
    EXPECT_EQ(Tone(player, 2).LayerCount(), 0);
    EXPECT_EQ(Tone(player, 9).LayerCount(), 0);
    EXPECT_EQ(player.Path(), "");
    EXPECT_EQ(ChunkOf(player).size(), 1752u);
}

// The host hands over a rack and the user asks for a new performance at once, while the loader
// is taking the rack up: the new, empty performance is what stays.
TEST_F(PerfTest, ANewPerformanceRightAfterARackFromTheHostStaysEmpty)
{
    const std::string gig = WriteGig();
    for (int i = 0; i < player.ToneCount(); ++i)
        for (int layer = 0; layer < 4; ++layer) player.Giga(i)->AddLayer(gig, layer % 2);
    const Bytes saved = ChunkOf(player);
    player.NewPerformance();
    player.WaitWhileLoading();
    for (int round = 0; round < 40; ++round) {
        // The second rack waits for the load of the first and is taken up by the loader.
        player.LoadFromMemory(saved.data(), saved.size());
        player.LoadFromMemory(saved.data(), saved.size());
        std::this_thread::sleep_for(std::chrono::microseconds(25 * round));
        player.NewPerformance();
        player.WaitWhileLoading();
        for (int i = 0; i < player.ToneCount(); ++i)
            ASSERT_EQ(Tone(player, i).LayerCount(), 0) << "round " << round << ", tone " << i;
    }
}

TEST_F(PerfTest, StatisticsPrintOnlyVoicesInUse)
{
    testing::internal::CaptureStdout();
    player.Statistics();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
}  // namespace perftest
