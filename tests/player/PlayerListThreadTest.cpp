// A host that creates and closes instances while another instance loads: the loader walks the
// player list from its own thread meanwhile, and must never meet a player whose constructors or
// destructors are running. Run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaBankManager.h"
#include "giga/GigaPlayer.h"
#include "tests/support/WaitFor.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

TEST(PlayerListThreads, InstancesComeAndGoWhileAnotherLoads)
{
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    const std::string bank = folder.File("demo.gig");
    testsupport::GigWriter(demo::DemoBank()).Write(bank);

    GigaPlayer loading;
    loading.OnInit();
    std::atomic<bool> running {true};
    std::atomic<int> rounds {0};
    // Asks again and again without waiting, so that passes run back to back.
    std::thread host([&] {
        for (int round = 0; running.load(); ++round) {
            GigaTone& tone = *loading.Giga(round % 4);
            tone.Clear();
            tone.AddLayer(bank, round % 2 ? demo::kKeys : demo::kPad);
            loading.RequestLoading();
            rounds.fetch_add(1);
            std::this_thread::yield();
        }
    });
    // The instances come once the loading rounds run.
    if (!testsupport::PollUntil([&] { return rounds.load() > 0; })) {
        running.store(false);
        host.join();
        FAIL() << "gave up waiting for the loading rounds to start";
    }
    for (int instance = 0; instance < 60; ++instance) {
        // As the plug-in's factory makes an instance and its close lets it go.
        auto other = std::make_unique<GigaPlayer>();
        other->OnInit();
        other->LeavePlayerList(/*awaitVisit=*/false);
        GigaBankManager::Instance().Retire(std::move(other));
        // And as a host's own player on the stack.
        GigaPlayer local;
        local.OnInit();
    }
    running.store(false);
    host.join();
    loading.WaitWhileLoading();
}

}  // namespace
