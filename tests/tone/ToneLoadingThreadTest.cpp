// The load pass on the loader's own thread while the host's audio thread keeps rendering and
// playing notes: run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "gig/GigaBankManager.h"
#include "giga/GigaPlayer.h"
#include "tests/support/WaitFor.h"
#include "tests/tone/ToneFixture.h"

namespace tonetest {
namespace {

class Posted : public KyEditor {
public:
    bool Post(const KyEditorEvent& event) override
    {
        if (event.code == FourCC("KyTL")) loads.fetch_add(1);
        return true;
    }
    std::atomic<int> loads {0};
};

TEST(ToneLoadingThreads, TheLoaderStopsLoadsAndRestartsWhileTheHostPlays)
{
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    const std::string path = folder.File("threads.gig");
    testsupport::GigWriter(OneRegion({{testsupport::gigdim::kVelocity, 1}})).Write(path);

    KyVoicePool<MarkerVoice> voices {256};
    KyVoiceList& pool = voices.Free();
    std::vector<float> scratch(GigaTone::kScratchFloats);
    GigaPlayer player;
    Posted editor;
    player.SetEditor(&editor);
    std::vector<GigaTone*> tones;
    for (int i = 0; i < 4; ++i) {
        auto tone = std::make_unique<GigaTone>(i, i, scratch.data());
        tone->SetVoicePool(&pool);
        tones.push_back(tone.get());
        player.AddTone(std::move(tone));
    }
    player.KyStart();

    std::atomic<bool> running {true};
    std::thread audio([&] {
        KyBufferList buses;
        buses.SetBusCount(16);
        buses.AllocateOwned(256);
        for (int block = 0; running; ++block) {
            for (int ch = 0; ch < 4; ++ch) {
                player.NoteOn(ch, 40 + block % 40, 100, 0);
                player.NoteOff(ch, 40 + (block + 20) % 40, 0, 0);
            }
            buses.ClearReadyFlags();
            player.Process(&buses, 256);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });

    for (int round = 0; round < 3; ++round) {
        for (GigaTone* tone : tones) {
            if (round == 0 || tone->ToneIndex() % 2 == round % 2) {
                tone->Clear();
                tone->AddLayer(path, 0);
            }
        }
        GigaBankManager::Instance().Request();
        const ::testing::AssertionResult told = testsupport::WaitFor(
            [&] { return editor.loads.load() > round; }, "the pass to end and tell the editor");
        EXPECT_TRUE(told) << "round " << round;
        if (!told) break;
    }
    // The last start request is taken up by the next block.
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            return std::all_of(tones.begin(), tones.end(),
                               [](const GigaTone* tone) { return tone->IsActive(); });
        },
        "every tone to play again after the last pass"));
    running = false;
    audio.join();
    for (GigaTone* tone : tones) {
        EXPECT_EQ(tone->Status(), GigaTone::kLoaded);
        EXPECT_EQ(tone->LayerCount(), 1);
        EXPECT_TRUE(tone->IsActive());
    }
    player.SetEditor(nullptr);
    player.RemoveTones();
}

// A rack being arranged on one thread (a performance being put together, an editor building a
// stack) while the loader's passes, asked for by another player, visit every player's tones.
TEST(ToneLoadingThreads, StackEditsWaitForAPassThatVisitsTheirTone)
{
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    const std::string path = folder.File("edits.gig");
    testsupport::GigWriter(OneRegion({})).Write(path);

    GigaPlayer loading;
    loading.OnInit();
    GigaPlayer arranged;
    arranged.OnInit();

    std::atomic<bool> running {true};
    std::thread loader([&] {
        for (int round = 0; running; ++round) {
            GigaTone& tone = *loading.Giga(round % 16);
            tone.Clear();
            tone.AddLayer(path, 0);
            loading.RequestLoading();
            loading.WaitWhileLoading();
        }
    });
    for (int round = 0; round < 300; ++round) {
        GigaTone& tone = *arranged.Giga(round % 16);
        tone.Clear();
        tone.AddLayer(path, 0);
        tone.AddLayer(path, 1);  // no such program: the pass drops it
        tone.SetSelectMode(round % 2 ? GigaTone::kSelectVelocity : GigaTone::kSelectNone);
        EXPECT_LE(tone.LayerCount(), GigaTone::kLayerSlots);
    }
    running = false;
    loader.join();
    arranged.RequestLoading();
    arranged.WaitWhileLoading();
    // Whatever order the edits and passes took, every layer left is one of program 0, loaded.
    for (int t = 0; t < 16; ++t) {
        const GigaTone& tone = *arranged.Giga(t);
        for (int i = 0; i < tone.LayerCount(); ++i) {
            EXPECT_EQ(tone.Layer(i)->programIndex, 0) << "tone " << t;
            EXPECT_NE(tone.Layer(i)->program, nullptr) << "tone " << t;
        }
    }
}

}  // namespace
}  // namespace tonetest
