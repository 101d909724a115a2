#include "player/KyPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "player/KyBufferList.h"
#include "tests/support/RecordingTone.h"

namespace {

using testsupport::RecordingTone;

// A rack of recording tones with owned bus memory; the tones stay reachable for checks.
struct Rack {
    explicit Rack(std::vector<int> channels, bool start = true)
    {
        for (std::size_t i = 0; i < channels.size(); ++i) {
            auto tone = std::make_unique<RecordingTone>(static_cast<int>(i), channels[i]);
            tones.push_back(tone.get());
            player.AddTone(std::move(tone));
        }
        buses.SetBusCount(16);
        buses.AllocateOwned(kFrames);
        if (start) {
            player.KyStart();
            Block();  // the tones take up their start requests
        }
    }
    void Block(int frames = kFrames)
    {
        buses.ClearReadyFlags();
        player.Process(&buses, frames);
    }

    static constexpr int kFrames = 256;
    KyPlayer player;
    std::vector<RecordingTone*> tones;
    KyBufferList buses;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(KyPlayerRouting, EveryToneOfTheChannelHearsTheNoteInToneOrder)
{
    Rack rack({5, 1, 2, 3, 4, 5});
    rack.player.NoteOn(5, 60, 100, 0);
    rack.player.NoteOn(7, 61, 100, 0);  // nobody listens to channel 7
    rack.Block();

    for (std::size_t i = 0; i < rack.tones.size(); ++i) {
        const auto notes = rack.tones[i]->EventsOfType(KyMidiEvent::kNoteOn);
        const bool listens = rack.tones[i]->MidiChannel() == 5;
        ASSERT_EQ(notes.size(), listens ? 1u : 0u) << "tone " << i;
        if (listens) {
            EXPECT_EQ(notes[0].data1, 60);
        }
    }
    // Routing happens in tone order: tone 0 queued first, so it applied first in the block.
    EXPECT_EQ(rack.tones[0]->Events()[0].block, rack.tones[5]->Events()[0].block);
}

TEST(KyPlayerRouting, ASingleToneHearsEveryChannel)
{
    Rack rack({3});
    for (int channel = 0; channel < 16; ++channel) rack.player.NoteOn(channel, channel, 100, 0);
    rack.Block();
    EXPECT_EQ(rack.tones[0]->EventsOfType(KyMidiEvent::kNoteOn).size(), 16u);
}

TEST(KyPlayerRouting, AllNotesOffForChannelMinusOneReachesEveryTone)
{
    Rack rack({0, 1, 2});
    rack.player.AllNotesOff(-1);
    rack.player.AllNotesOff(1);
    rack.Block();
    EXPECT_EQ(rack.tones[0]->EventsOfType(KyMidiEvent::kNoteOff).size(), 128u);
    EXPECT_EQ(rack.tones[1]->EventsOfType(KyMidiEvent::kNoteOff).size(), 256u);
    EXPECT_EQ(rack.tones[2]->EventsOfType(KyMidiEvent::kNoteOff).size(), 128u);
}

TEST(KyPlayerRouting, MidiWhileStoppedIsLost)
{
    Rack rack({0, 1}, /*start=*/false);
    rack.player.NoteOn(0, 60, 100, 0);
    rack.player.KyStart();
    rack.Block();
    EXPECT_TRUE(rack.tones[0]->Events().empty());
}

TEST(KyPlayerProcess, AStoppedPlayerZeroesEveryBusAndAnswersTheFrameCount)
{
    Rack rack({0, 1}, /*start=*/false);
    for (int bus = 0; bus < 16; ++bus) {
        std::fill_n(rack.buses.GetBus(bus).left, Rack::kFrames, 0.5f);
        std::fill_n(rack.buses.GetBus(bus).right, Rack::kFrames, -0.5f);
    }
    rack.buses.ClearReadyFlags();
    EXPECT_EQ(rack.player.Process(&rack.buses, 100), 100);
    for (int bus = 0; bus < 16; ++bus) {
        EXPECT_TRUE(rack.buses.IsReady(bus));
        EXPECT_EQ(rack.buses.GetBus(bus).left[99], 0.0f);
        EXPECT_EQ(rack.buses.GetBus(bus).right[0], 0.0f);
        EXPECT_EQ(rack.buses.GetBus(bus).left[100], 0.5f) << "only the block is touched";
    }
    EXPECT_EQ(rack.tones[0]->Blocks(), 0);
}

TEST(KyPlayerStartStop, AToneWithoutInstrumentStaysSilentUntilTheNextStart)
{
    Rack rack({0, 1}, /*start=*/false);
    rack.tones[1]->SetHasInstrument(false);
    rack.player.KyStart();
    rack.Block();
    EXPECT_TRUE(rack.tones[0]->IsActive());
    EXPECT_FALSE(rack.tones[1]->IsActive());

    rack.tones[1]->SetHasInstrument(true);
    rack.Block();
    EXPECT_FALSE(rack.tones[1]->IsActive()) << "becoming ready is not enough";
    rack.player.KyStop();
    rack.player.KyStart();
    rack.Block();
    EXPECT_TRUE(rack.tones[1]->IsActive());
}

TEST(KyPlayerStartStop, RepeatedStartOrStopOnlyLogs)
{
    testsupport::TempFolder folder;
    const std::string log = folder.File("log.txt");
    ASSERT_TRUE(QelLog::OpenSink(log));
    {
        Rack rack({0});
        rack.player.KyStart();
        EXPECT_TRUE(rack.player.IsAudioRunning());
        rack.player.KyStop();
        rack.player.KyStop();
        EXPECT_FALSE(rack.player.IsAudioRunning());
        const std::string text = ReadText(log);
        EXPECT_NE(text.find("*** KyPlayer::KyStart() but player is running ***"),
                  std::string::npos);
        EXPECT_NE(text.find("*** KyPlayer::KyStop() but player is not running ***"),
                  std::string::npos);
    }
    QelLog::CloseSink();
}

TEST(KyPlayerStartStop, StopEndsWithoutAnyBlockAndSilencesTheTones)
{
    Rack rack({0, 1});
    rack.tones[0]->SetSoundingBlocks(1000);
    rack.player.NoteOn(0, 60, 100, 0);
    // The host has stopped calling for blocks: the stop carries out its requests itself.
    rack.player.KyStop();
    EXPECT_FALSE(rack.tones[0]->IsActive());
    EXPECT_FALSE(rack.tones[1]->IsActive());
    EXPECT_EQ(rack.tones[0]->EndedNow(), 1);
    EXPECT_EQ(rack.tones[0]->Mailbox(), 0);
    EXPECT_TRUE(rack.tones[0]->Events().empty()) << "queued MIDI was dropped, not applied";

    // The player works normally afterwards.
    rack.player.KyStart();
    rack.Block();
    rack.player.NoteOn(0, 62, 100, 0);
    rack.Block();
    ASSERT_EQ(rack.tones[0]->EventsOfType(KyMidiEvent::kNoteOn).size(), 1u);
    EXPECT_EQ(rack.tones[0]->EventsOfType(KyMidiEvent::kNoteOn)[0].data1, 62);
}

TEST(KyPlayerStartStop, RemoveTonesUnloadsEveryTone)
{
    Rack rack({0, 1});
    rack.player.RemoveTones();
    EXPECT_EQ(rack.player.ToneCount(), 0);
    EXPECT_FALSE(rack.player.IsAudioRunning());
    rack.player.NoteOn(0, 60, 100, 0);  // nothing to route to, nothing breaks
    rack.Block();
}

TEST(KyPlayerRack, HoldsAtMostSixteenTones)
{
    KyPlayer player;
    for (int i = 0; i < KyPlayer::kMaxTones; ++i)
        EXPECT_TRUE(player.AddTone(std::make_unique<RecordingTone>(i, i)));
    EXPECT_FALSE(player.AddTone(std::make_unique<RecordingTone>(16, 0)));
    EXPECT_EQ(player.ToneCount(), 16);
    EXPECT_EQ(player.Tone(16), nullptr);
}

TEST(KyPlayerRack, PlayersJoinAndLeaveTheProcessList)
{
    const int before = KyPlayer::PlayerCount();
    {
        GigaPlayer a;
        auto b = std::make_unique<KyPlayer>();
        GigaPlayer c;
        EXPECT_EQ(KyPlayer::PlayerCount(), before + 3);
        b.reset();  // from the middle
        std::vector<KyPlayer*> seen;
        KyPlayer::ForEachPlayer([&](KyPlayer& p) { seen.push_back(&p); });
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(before + 2));
        EXPECT_EQ(seen[seen.size() - 2], &a);
        EXPECT_EQ(seen.back(), &c);
        EXPECT_STREQ(a.OutputBusName(0), "Marlet 1-2");
        EXPECT_STREQ(a.OutputBusName(15), "Marlet 31-32");
    }
    EXPECT_EQ(KyPlayer::PlayerCount(), before);
}

// The loader walks the list from its own thread and calls into every player it finds: a
// player whose constructors are still running is never in the list.
class ProbePlayer : public GigaPlayer {
public:
    ProbePlayer() : GigaPlayer(Listing::kWhenWhole)
    {
        KyPlayer::ForEachPlayer([this](KyPlayer& p) { seenWhileMade |= &p == this; });
        JoinPlayerList();
    }
    ~ProbePlayer() override { LeavePlayerList(); }
    bool seenWhileMade = false;
};

TEST(KyPlayerRack, APlayerJoinsTheListOnlyOnceWholeAndOnlyOnce)
{
    const int before = KyPlayer::PlayerCount();
    ProbePlayer probe;
    EXPECT_FALSE(probe.seenWhileMade) << "visited while its constructor ran";
    probe.JoinPlayerList();
    EXPECT_EQ(KyPlayer::PlayerCount(), before + 1);
    probe.LeavePlayerList();
    probe.JoinPlayerList();  // a player on its way out never comes back
    EXPECT_EQ(KyPlayer::PlayerCount(), before);
    std::vector<KyPlayer*> seen;
    KyPlayer::ForEachPlayer([&](KyPlayer& p) { seen.push_back(&p); });
    EXPECT_EQ(std::count(seen.begin(), seen.end(), &probe), 0);
}

TEST(KyPlayerRack, SampleRateIsProcessWideAndRefusesNonsense)
{
    const int others = KyPlayer::PlayerCount();
    KyPlayer player;
    if (others == 0) {
        EXPECT_EQ(KyPlayer::SampleRate(), 44100.0f);
    }
    player.SetSampleRate(48000);
    EXPECT_EQ(KyPlayer::SampleRate(), 48000.0f);
    player.SetSampleRate(0);
    player.SetSampleRate(-5);
    EXPECT_EQ(KyPlayer::SampleRate(), 48000.0f);
    KyPlayer second;  // a second instance does not retune the first
    EXPECT_EQ(KyPlayer::SampleRate(), 48000.0f);
}

TEST(KyPlayerLog, ToggleTwiceLeavesOneMoreSeparatorOnTheDesktop)
{
    testsupport::IsolatedHome home;
    Rack rack({0});
    EXPECT_TRUE(rack.player.ToggleLog());
    EXPECT_FALSE(rack.player.ToggleLog());
    const std::string path = home.Desktop() + "/marlet.log";
    EXPECT_EQ(ReadText(path), "\r\n************\r\n\r\n");
    rack.player.ToggleLog();
    rack.player.ToggleLog();
    EXPECT_EQ(ReadText(path), "\r\n************\r\n\r\n\r\n************\r\n\r\n");
}

// A player whose state is a fixed byte string, to follow the chunk transport.
class StatePlayer : public GigaPlayer {
public:
    StatePlayer() : GigaPlayer(Listing::kWhenWhole) { JoinPlayerList(); }
    ~StatePlayer() override { LeavePlayerList(); }
    bool OnSave(const std::string& path) override
    {
        savedTo = path;
        if (!saves) return false;
        return testsupport::WriteFileBytes(path, state.data(), state.size());
    }
    bool OnLoad(const std::string& path) override
    {
        loadedFrom = path;
        const auto bytes = testsupport::ReadFileBytes(path);
        loaded.assign(bytes.begin(), bytes.end());
        return true;
    }
    void AfterLoad() override { ++afterLoads; }
    // The framework's transport through temporary files; the .gig player keeps its in memory.
    std::size_t SaveToMemory() override { return KyPlayer::SaveToMemory(); }
    void LoadFromMemory(const void* data, std::size_t size) override
    {
        KyPlayer::LoadFromMemory(data, size);
    }

    bool saves = true;
    std::string state = std::string("RIFF\0\0\0\0KyGm", 12) + "tail";
    std::string savedTo, loadedFrom, loaded;
    int afterLoads = 0;
};

TEST(KyPlayerChunk, SaveAndLoadGoThroughTemporaryFilesThatAreGoneAfterwards)
{
    testsupport::IsolatedHome home;
    StatePlayer player;
    ASSERT_EQ(player.SaveToMemory(), player.state.size());
    EXPECT_EQ(std::string(player.Chunk().begin(), player.Chunk().end()), player.state);

    const std::string folder = home.Data() + "/Orvana";
    const std::string name = player.savedTo.substr(folder.size() + 1);
    EXPECT_EQ(player.savedTo.substr(0, folder.size()), folder);
    EXPECT_EQ(name.size(), 4u + 8u + 4u);
    EXPECT_EQ(name.substr(0, 4), "mGyK");
    EXPECT_EQ(name.substr(12), ".tmp");
    for (char c : name.substr(4, 8)) EXPECT_TRUE(c >= 'a' && c <= 'z');

    player.LoadFromMemory(player.Chunk().data(), player.Chunk().size());
    EXPECT_EQ(player.loaded, player.state);
    EXPECT_EQ(player.afterLoads, 1);
    EXPECT_TRUE(testsupport::ListFolder(folder).empty());
}

TEST(KyPlayerChunk, AFailedSaveGivesNoChunkAndLeavesNoFile)
{
    testsupport::IsolatedHome home;
    StatePlayer player;
    player.SaveToMemory();
    player.saves = false;
    EXPECT_EQ(player.SaveToMemory(), 0u);
    EXPECT_TRUE(player.Chunk().empty());
    EXPECT_TRUE(testsupport::ListFolder(home.Data() + "/Orvana").empty());

    KyPlayer plain;  // the framework player has no state of its own
    EXPECT_EQ(plain.SaveToMemory(), 0u);
}

TEST(KyBufferList, AWriterZeroesABusThatIsNotReady)
{
    KyBufferList list;
    list.SetBusCount(2);
    list.AllocateOwned(8);
    std::fill_n(list.GetBus(1).left, 8, 1.0f);
    KyBufferList::Bus* bus = list.PrepareForMix(1, 8);
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(bus->left[7], 0.0f);
    bus->left[0] = 0.25f;
    list.PrepareForMix(1, 8);  // ready now: left alone
    EXPECT_EQ(bus->left[0], 0.25f);
    EXPECT_EQ(list.PrepareForMix(2, 8), nullptr) << "beyond the bus count";
}

}  // namespace
