#include "gig/GigaBankManager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "player/KyPlayer.h"
#include "tests/support/WaitFor.h"

using namespace testsupport;

TEST(GigaBankManager, SharesBanksByExactPath)
{
    TempFolder folder;
    GigWriter(GigFilePlan {}).Write(folder.File("bank.gig"));
    GigWriter(GigFilePlan {}).Write(folder.File("Bank.gig"));
    GigaBankManager manager;

    GigaBank* first = manager.RetainBank(folder.File("bank.gig"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(manager.RetainBank(folder.File("bank.gig")), first);
    EXPECT_EQ(first->RefCount(), 2);
    GigaBank* other = manager.RetainBank(folder.File("Bank.gig"));
    EXPECT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(manager.RetainBank(folder.File("missing.gig")), nullptr);
    EXPECT_EQ(manager.BankCount(), 2);
}

TEST(GigaBankManager, APassDeletesUnheldBanksAndKeepsTheRestInOrder)
{
    TempFolder folder;
    GigaBankManager manager;
    std::vector<GigaBank*> banks;
    for (const char* name : {"a.gig", "b.gig", "c.gig", "d.gig", "e.gig"}) {
        GigWriter(GigFilePlan {}).Write(folder.File(name));
        banks.push_back(manager.RetainBank(folder.File(name)));
    }
    // b and c, next to each other, are dropped; e is dropped and taken again before the pass.
    banks[1]->Release();
    banks[2]->Release();
    banks[4]->Release();
    EXPECT_EQ(manager.RetainBank(folder.File("e.gig")), banks[4]);
    EXPECT_EQ(manager.BankCount(), 5);

    manager.Request();
    ASSERT_TRUE(testsupport::WaitFor([&] { return !manager.IsRunning(); }, "the pass to end"));
    ASSERT_EQ(manager.BankCount(), 3);
    EXPECT_EQ(manager.Bank(0), banks[0]);
    EXPECT_EQ(manager.Bank(1), banks[3]);
    EXPECT_EQ(manager.Bank(2), banks[4]);
}

// A host that closed its last instance asks for no more passes: the banks that instance held
// close with it instead of keeping their files and samples while the library stays loaded.
TEST(GigaBankManager, RetiringAPlayerOutsideAPassDeletesTheBanksItHeld)
{
    TempFolder folder;
    GigWriter(GigFilePlan {}).Write(folder.File("a.gig"));
    GigWriter(GigFilePlan {}).Write(folder.File("b.gig"));
    GigaBankManager manager;
    struct Holder : KyPlayer {
        GigaBank* bank = nullptr;
        ~Holder() override { bank->Release(); }
    };
    auto player = std::make_unique<Holder>();
    player->bank = manager.RetainBank(folder.File("a.gig"));
    GigaBank* kept = manager.RetainBank(folder.File("b.gig"));
    ASSERT_EQ(manager.BankCount(), 2);
    manager.Retire(std::move(player));
    ASSERT_EQ(manager.BankCount(), 1);
    EXPECT_EQ(manager.Bank(0), kept);
}

TEST(GigaBankManager, RefusesTheFiveHundredThirteenthBank)
{
    TempFolder folder;
    GigWriter(GigFilePlan {}).Write(folder.File("one.gig"));
    GigaBankManager manager;
    // Links are distinct paths to one file, which is all the manager compares.
    for (int i = 0; i <= GigaBankManager::kMaxBanks; ++i) {
        const auto link = folder.File("l" + std::to_string(i) + ".gig");
        std::filesystem::create_symlink(folder.File("one.gig"), link);
        EXPECT_EQ(manager.RetainBank(link) != nullptr, i < GigaBankManager::kMaxBanks) << i;
    }
    EXPECT_NE(manager.RetainBank(folder.File("l7.gig")), nullptr);  // an open one still comes
}
