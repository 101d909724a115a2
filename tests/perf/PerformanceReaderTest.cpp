// The performance reader on files the writer would not make: other layouts, unknown chunks,
// values out of range, oversized texts, refused, truncated and random files.
#include <cstring>
#include <random>

#include "tests/perf/PerfFixture.h"

namespace perftest {
namespace {

void PlainTone(CExpRiff& w)
{
    Ints(w, "midi", {3});
}

TEST_F(PerfTest, AFileThatIsNotAPerformanceLeavesTheRackUnchanged)
{
    Tone(player, 1).SetVolume(33);
    Tone(player, 1).AddLayer(WriteGig(), 0);
    const Bytes before = ChunkOf(player);
    const auto body = [](CExpRiff& w) { ToneEntry(w, 1, PlainTone); };
    const std::vector<Bytes> refused = {
        Build(body, "KyGx"),
        Build(body, "KyGm", "tonx"),
        Bytes {},
        Bytes(7, std::byte {'R'}),
    };
    for (const Bytes& bytes : refused) {
        EXPECT_FALSE(Read(player, bytes));
        player.LoadFromMemory(bytes.data(), bytes.size());
        EXPECT_FALSE(player.IsLoading());
        EXPECT_EQ(ChunkOf(player), before);
    }
    // A "RIFF" that is a plain chunk (no list type) rather than a "LIST" inside.
    Bytes plainInner = Build(body);
    std::memcpy(plainInner.data() + 12, "JUNK", 4);
    EXPECT_FALSE(Read(player, plainInner));
    EXPECT_EQ(ChunkOf(player), before);
}

TEST_F(PerfTest, AFileWithoutTonesEmptiesTheToneThatHadLayersAndLoadsNothingElse)
{
    const Bytes none = Build([](CExpRiff&) {});
    ASSERT_TRUE(Read(fresh, none));
    fresh.LoadFromMemory(none.data(), none.size());
    EXPECT_FALSE(fresh.IsLoading()) << "no tone asks for a load";

    const std::string gig = WriteGig();
    Tone(player, 6).AddLayer(gig, 0);
    ASSERT_TRUE(Tone(player, 6).LoadPass());
    player.LoadFromMemory(none.data(), none.size());
    player.WaitWhileLoading();
    EXPECT_EQ(Tone(player, 6).LayerCount(), 0) << "the load pass dropped the old layer";
    EXPECT_EQ(ChunkOf(player), ChunkOf(fresh));
}

TEST_F(PerfTest, TheOlderLayoutAddsLayersDirectlyInTheTone)
{
    const Bytes bytes = Build([](CExpRiff& w) {
        ToneEntry(w, 4, [](CExpRiff& t) {
            Text(t, "bank", "/a/old.gig");
            Ints(t, "prog", {3});
            Ints(t, "bend", {5});
            t.StartChunk("vcau");
            for (int i = 0; i < 6; ++i) t.WriteFloat(static_cast<float>(i));
            t.EndChunk();
            t.StartChunk("vcfu");
            for (int i = 0; i < 6; ++i) t.WriteFloat(-static_cast<float>(i));
            t.WriteInt(2);
            t.EndChunk();
            Ints(t, "prog", {4});  // the same path again
            Ints(t, "para", {70, 10, 5});
        });
    });
    ASSERT_TRUE(Read(player, bytes));
    const GigaTone& tone = Tone(player, 4);
    ASSERT_EQ(tone.LayerCount(), 2);
    const GigaPart& first = *tone.Layer(0);
    EXPECT_EQ(first.bankPath, "/a/old.gig");
    EXPECT_EQ(first.programIndex, 3);
    EXPECT_EQ(first.bendRange.Get(), 5);
    EXPECT_EQ(first.amplifierOffsets[5].Get(), 5.0f);
    EXPECT_EQ(first.filterOffsets[1].Get(), -1.0f);
    EXPECT_EQ(first.filterSwitch.Get(), 2);
    EXPECT_EQ(tone.Layer(1)->bankPath, "/a/old.gig");
    EXPECT_EQ(tone.Layer(1)->programIndex, 4);
    EXPECT_EQ(tone.Layer(1)->bendRange.Get(), 0);
    EXPECT_EQ(tone.Volume(), 70);
    EXPECT_EQ(tone.Status(), GigaTone::kLoadRequested);
}

TEST_F(PerfTest, UnknownChunksAreSkippedAtEveryLevelAndBadIndicesLoadNothing)
{
    const Bytes bytes = Build([](CExpRiff& w) {
        Ints(w, "junk", {1, 2, 3});
        ToneEntry(w, 16, PlainTone);
        ToneEntry(w, -1, PlainTone);
        ToneEntry(w, 2147483647, PlainTone);
        w.StartChunk("RIFF", "tone");
        Ints(w, "xtra", {9});
        Ints(w, "indx", {7});
        w.StartChunk("RIFF", "kytn");
        Ints(w, "zzzz", {});
        Ints(w, "outb", {20});  // not below the 16 buses: bus 0
        Ints(w, "midi", {11});
        w.StartChunk("part");
        Ints(w, "what", {1});
        Text(w, "bank", "/x/y.gig");
        Ints(w, "prog", {2});
        Ints(w, "stak", {10, 20});  // too short: ignored, never read past
        Ints(w, "para", {90, 64, 0});
        w.EndChunk();
        w.EndChunk();
        w.EndChunk();
        w.StartChunk("LIST", "tone");
        w.EndChunk();
    });
    Tone(player, 7).SetOutputBus(9);
    ASSERT_TRUE(Read(player, bytes));
    const GigaTone& tone = Tone(player, 7);
    EXPECT_EQ(tone.OutputBus(), 0);
    EXPECT_EQ(tone.MidiChannel(), 11);
    ASSERT_EQ(tone.LayerCount(), 1);
    EXPECT_EQ(tone.Layer(0)->programIndex, 2);
    EXPECT_EQ(tone.Layer(0)->keyHigh.Get(), 0);
    EXPECT_EQ(tone.Layer(0)->volume.Get(), 90);
    for (int i = 0; i < 16; ++i)
        if (i != 7) {
            EXPECT_EQ(Tone(player, i).MidiChannel(), i) << i;
        }
}

TEST_F(PerfTest, ValuesOutsideTheirRangesAreKeptInside)
{
    const Bytes bytes = Build([](CExpRiff& w) {
        ToneEntry(w, 0, [](CExpRiff& t) {
            Ints(t, "outb", {-3});
            Ints(t, "midi", {99});
            Ints(t, "para", {2147483647, -5, -2147483647});
            t.StartChunk("part");
            Text(t, "bank", "/b.gig");
            Ints(t, "prog", {0});
            Ints(t, "stak", {-9, 1000, 2147483647});
            t.StartChunk("vcau");
            for (int i = 0; i < 6; ++i) t.WriteInt(0x7FC00000);  // NaN
            t.EndChunk();
            t.EndChunk();
        });
    });
    ASSERT_TRUE(Read(player, bytes));
    const GigaTone& tone = Tone(player, 0);
    EXPECT_EQ(tone.OutputBus(), 0);
    EXPECT_EQ(tone.MidiChannel(), 15);
    EXPECT_EQ(tone.Volume(), 127);
    EXPECT_EQ(tone.Pan(), 0);
    const GigaPart& layer = *tone.Layer(0);
    EXPECT_EQ(layer.keyLow.Get(), 0);
    EXPECT_EQ(layer.keyHigh.Get(), 127);
    EXPECT_EQ(layer.keyOffset.Get(), 127);
    EXPECT_EQ(layer.amplifierOffsets[2].Get(), 0.0f);
}

TEST_F(PerfTest, TextsLongerThanTheBuffersAreRefusedNotCut)
{
    const std::string longPath = "/" + std::string(600, 'p') + ".gig";
    const std::string fullPath = "/" + std::string(506, 'q') + ".gig";  // 511 bytes
    const Bytes bytes = Build([&](CExpRiff& w) {
        ToneEntry(w, 3, [&](CExpRiff& t) {
            Text(t, "name", std::string(508, 'n'));
            t.StartChunk("part");
            Text(t, "bank", longPath);
            Ints(t, "prog", {1});
            t.EndChunk();
            t.StartChunk("part");
            Text(t, "bank", fullPath);
            Ints(t, "prog", {2});
            t.EndChunk();
            Text(t, "bank", longPath);  // older layout: no layer at all
            Ints(t, "prog", {0});
        });
        ToneEntry(w, 4, [](CExpRiff& t) { Text(t, "name", std::string(507, 'm')); });
    });
    ASSERT_TRUE(Read(player, bytes));
    const GigaTone& tone = Tone(player, 3);
    EXPECT_EQ(tone.StackName(), "");
    ASSERT_EQ(tone.LayerCount(), 1) << "a part without a program adds no layer";
    EXPECT_EQ(tone.Layer(0)->bankPath, fullPath);
    EXPECT_EQ(tone.Layer(0)->programIndex, 2);
    EXPECT_EQ(Tone(player, 4).StackName(), std::string(507, 'm'));
}

TEST_F(PerfTest, ASeventeenthPartIsRefused)
{
    const Bytes bytes = Build([](CExpRiff& w) {
        ToneEntry(w, 0, [](CExpRiff& t) {
            for (int i = 0; i < 17; ++i) {
                t.StartChunk("part");
                Text(t, "bank", "/c.gig");
                Ints(t, "prog", {i});
                t.EndChunk();
            }
        });
    });
    ASSERT_TRUE(Read(player, bytes));
    ASSERT_EQ(Tone(player, 0).LayerCount(), 16);
    EXPECT_EQ(Tone(player, 0).Layer(15)->programIndex, 15);
}

Bytes RichFile(const std::string& gig)
{
    return Build([&](CExpRiff& w) {
        for (int i = 0; i < 3; ++i)
            ToneEntry(w, i, [&](CExpRiff& t) {
                Text(t, "name", "Stack");
                Ints(t, "stak", {133, 30});
                Ints(t, "midi", {i});
                Ints(t, "outb", {i});
                Ints(t, "para", {100, 60, 5});
                for (int p = 0; p < 2; ++p) {
                    t.StartChunk("part");
                    Text(t, "bank", gig);
                    Ints(t, "prog", {p});
                    Ints(t, "stak", {0, 127, 0});
                    t.EndChunk();
                }
            });
    });
}

TEST_F(PerfTest, TruncatedFilesAreRefusedOrReadUpToTheDamage)
{
    const Bytes whole = RichFile("/d.gig");
    const Bytes before = ChunkOf(fresh);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Read(fresh, cut)) << "the outer size points past the end at " << n;
        EXPECT_EQ(ChunkOf(fresh), before);
    }
    // Inner damage: tone 1's entry claims more than its list holds; tone 0 is kept.
    Bytes damaged = whole;
    const std::size_t tone1 = 24 + (whole.size() - 24) / 3;
    ASSERT_EQ(std::memcmp(damaged.data() + tone1, "RIFF", 4), 0);
    damaged[tone1 + 5] = std::byte {0x7F};
    ASSERT_TRUE(Read(fresh, damaged));
    EXPECT_EQ(Tone(fresh, 0).LayerCount(), 2);
    EXPECT_EQ(Tone(fresh, 1).LayerCount(), 0);
    EXPECT_EQ(Tone(fresh, 2).LayerCount(), 0);
}

TEST_F(PerfTest, RandomAndMangledFilesNeverCrash)
{
    const Bytes whole = RichFile("/e.gig");
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        Bytes bytes = whole;
        if (round % 3 == 0) {
            for (auto& b : bytes) b = static_cast<std::byte>(random());
            std::memcpy(bytes.data(), "RIFF", 4);
            std::memcpy(bytes.data() + 8, "KyGmLIST", 8);
        } else {
            for (int flips = 0; flips < 1 + round % 7; ++flips)
                bytes[random() % bytes.size()] = static_cast<std::byte>(random());
        }
        // One rack takes every file: what one left behind must not trouble the next.
        GigaPlayer& p = player;
        Read(p, bytes);
        for (int i = 0; i < 16; ++i) {
            // Layers cleared by the read stay until a load pass; the rest are one stack.
            const GigaTone& tone = Tone(p, i);
            int staying = 0;
            for (int l = 0; l < tone.LayerCount(); ++l) staying += tone.Layer(l)->leaving ? 0 : 1;
            EXPECT_LE(staying, GigaTone::kMaxLayers);
            EXPECT_LE(tone.LayerCount(), GigaTone::kLayerSlots);
            EXPECT_GE(tone.OutputBus(), 0);
            EXPECT_LE(tone.StackName().size(), 507u);
        }
        ChunkOf(p);
    }
}

}  // namespace
}  // namespace perftest
