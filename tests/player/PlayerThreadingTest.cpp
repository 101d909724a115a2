// Cross-thread hand-overs, run under ThreadSanitizer in CI: the audio thread renders while
// control threads start and stop the player and the on-screen keyboard plays.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/TempFolder.h"
#include "platform/Platform.h"
#include "player/KyBufferList.h"
#include "player/KyPlayer.h"
#include "player/KyRingBuffer.h"
#include "tests/support/RecordingTone.h"
#include "tests/support/WaitFor.h"

namespace {

using testsupport::RecordingTone;
using testsupport::WaitFor;

// Calls Process like a host's audio thread, and also feeds host MIDI from that thread.
class AudioThread {
public:
    explicit AudioThread(KyPlayer& player) : player_(player)
    {
        buses_.SetBusCount(16);
        buses_.AllocateOwned(128);
        thread_ = std::thread([this] { Run(); });
    }
    ~AudioThread()
    {
        running_ = false;
        thread_.join();
    }
    void SetPaused(bool paused) { paused_ = paused; }
    int Blocks() const { return blocks_; }

private:
    void Run()
    {
        int key = 0;
        while (running_) {
            if (paused_) {
                platform::SleepMs(1);
                continue;
            }
            player_.NoteOn(0, key, 100, 0);
            player_.NoteOff(0, key, 0, 64);
            key = (key + 1) % 128;
            buses_.ClearReadyFlags();
            player_.Process(&buses_, 128);
            ++blocks_;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    }

    KyPlayer& player_;
    KyBufferList buses_;
    std::atomic<bool> running_ {true};
    std::atomic<bool> paused_ {false};
    std::atomic<int> blocks_ {0};
    std::thread thread_;
};

TEST(PlayerThreads, StartStopWhileTheHostRendersAndTheKeyboardPlays)
{
    KyPlayer player;
    std::vector<RecordingTone*> tones;
    for (int i = 0; i < 4; ++i) {
        auto tone = std::make_unique<RecordingTone>(i, i % 2);
        tones.push_back(tone.get());
        player.AddTone(std::move(tone));
    }
    AudioThread audio(player);
    std::atomic<bool> playing {true};
    std::thread keyboard([&] {
        while (playing) {
            tones[1]->KeyboardNoteOn(60, 90);
            tones[1]->KeyboardNoteOff(60);
            platform::SleepMs(1);
        }
    });

    const auto noteOns = [](const RecordingTone* tone) {
        return tone->EventsOfType(KyMidiEvent::kNoteOn).size();
    };
    for (int round = 0; round < 5; ++round) {
        tones[0]->SetSoundingBlocks(5);
        const int blocks = tones[0]->Blocks();
        const std::size_t hostNotes = noteOns(tones[0]);
        const std::size_t keyboardNotes = noteOns(tones[1]);
        player.KyStart();
        // Each stop meets a player that plays: blocks rendered, notes from both sides taken up.
        EXPECT_TRUE(WaitFor(
            [&] {
                return tones[0]->Blocks() >= blocks + 3 && noteOns(tones[0]) > hostNotes &&
                       noteOns(tones[1]) > keyboardNotes;
            },
            "blocks rendered with the player started and notes from the host and the keyboard"))
            << "round " << round;
        player.KyStop();
        for (RecordingTone* tone : tones) {
            EXPECT_FALSE(tone->IsActive());
            EXPECT_EQ(tone->Mailbox(), 0);
        }
    }
    playing = false;
    keyboard.join();
    EXPECT_GT(audio.Blocks(), 0);
    EXPECT_FALSE(tones[0]->EventsOfType(KyMidiEvent::kNoteOn).empty());
    EXPECT_GT(tones[0]->Killed(), 0) << "the audio thread answered the stop requests";
}

TEST(PlayerThreads, AStopWhileTheHostPausesIsTakenOverAndTheHostResumesSafely)
{
    KyPlayer player;
    auto owned = std::make_unique<RecordingTone>(0, 0);
    RecordingTone* tone = owned.get();
    player.AddTone(std::move(owned));
    AudioThread audio(player);
    player.KyStart();
    ASSERT_TRUE(WaitFor([&] { return tone->IsActive(); }, "the tone started"));

    tone->SetSoundingBlocks(1'000'000);  // voices that never end by themselves
    audio.SetPaused(true);
    std::thread resume([&] {
        // The host comes back once the stop has taken over, while it may still hold the gate.
        EXPECT_TRUE(WaitFor([&] { return tone->EndedNow() > 0; },
                            "the stop to take over while the host pauses"));
        audio.SetPaused(false);
    });
    player.KyStop();
    resume.join();
    EXPECT_FALSE(tone->IsActive());
    EXPECT_EQ(tone->EndedNow(), 1);
    const int resumed = audio.Blocks();
    EXPECT_TRUE(WaitFor([&] { return audio.Blocks() >= resumed + 3; },
                        "blocks rendered by the host after the stop"));
    EXPECT_FALSE(player.IsAudioRunning());
    EXPECT_FALSE(tone->IsActive());
}

TEST(PlayerThreads, TheRingHandsOverEveryElementInOrder)
{
    KyRingBuffer<KyMidiEvent> ring(1024);
    constexpr int kCount = 200'000;
    std::thread producer([&] {
        for (int i = 0; i < kCount;) {
            if (ring.Push({KyMidiEvent::kControlChange, i, 0, 0}))
                ++i;
            else
                std::this_thread::yield();
        }
    });
    int expected = 0;
    while (expected < kCount) {
        const auto runs = ring.Peek(1024);
        for (const auto& e : runs.first) ASSERT_EQ(e.data1, expected++);
        for (const auto& e : runs.second) ASSERT_EQ(e.data1, expected++);
        ring.Advance(runs.Count());
        if (runs.Count() == 0) std::this_thread::yield();
    }
    producer.join();
}

TEST(PlayerThreads, LogLinesFromManyThreadsNeverMix)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("threads.log");
    QelLog keeper;  // keeps the sink open while the writers come and go
    ASSERT_TRUE(QelLog::OpenSink(path));
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([t] {
            QelLog log;
            for (int i = 0; i < 500; ++i)
                log.Log("writer %d line %d %s", t, i, std::string(40, 'a' + t).c_str());
        });
    }
    for (auto& w : writers) w.join();
    QelLog::CloseSink();

    std::ifstream in(path);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        ++lines;
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "writer %d line %d", &t, &i), 2) << line;
        EXPECT_EQ(line.substr(line.size() - 40), std::string(40, static_cast<char>('a' + t)))
            << line;
    }
    EXPECT_EQ(lines, 2000);
}

TEST(PlayerThreads, AClosedSinkCostsNothingAndWritesNothing)
{
    QelLog::CloseSink();
    QelLog log;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&log] {
            for (int i = 0; i < 1000; ++i) EXPECT_EQ(log.Log("nothing %d", i), 0);
        });
    for (auto& w : writers) w.join();
}

}  // namespace
