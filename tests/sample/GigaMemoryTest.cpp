#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "prefs/GigaPrefs.h"
#include "prefs/SampleBudget.h"
#include "sample/GigaMemory.h"

namespace {

constexpr GigaMemory::Offset kBlock = GigaMemory::kBlockValues;

TEST(GigaMemoryTest, PreloadsNeverStraddleBlocks)
{
    SampleBudget budget(2048);
    GigaMemory memory(budget);
    EXPECT_EQ(memory.Reserve(kBlock), 0);
    EXPECT_EQ(memory.Megabytes(), 0);
    EXPECT_EQ(memory.Reserve(1), kBlock);  // block 1 starts
    EXPECT_EQ(memory.FullBlocks(), 1);
    EXPECT_EQ(memory.Megabytes(), 64);
    EXPECT_EQ(memory.Reserve(10), kBlock + 1);
    EXPECT_EQ(memory.Reserve(kBlock - 11), kBlock + 11);  // fills block 1 exactly
    EXPECT_EQ(memory.Reserve(1), 2 * kBlock);
    EXPECT_EQ(memory.Megabytes(), 128);
    EXPECT_EQ(budget.Total(), 0);  // nothing charged before Allocate
}

TEST(GigaMemoryTest, OversizedOrLateReservationsAreRefused)
{
    SampleBudget budget(2048);
    GigaMemory memory(budget);
    EXPECT_EQ(memory.Reserve(kBlock + 1), GigaMemory::kNoRoom);  // the sample streams instead
    EXPECT_EQ(memory.Reserve(-1), GigaMemory::kNoRoom);
    EXPECT_EQ(memory.Reserve(1000), 0);
    ASSERT_TRUE(memory.Allocate());
    EXPECT_EQ(memory.Reserve(10), GigaMemory::kNoRoom);  // would point past the allocated block
}

TEST(GigaMemoryTest, SmallLastBlockRoundsUpAndChargesWholeMegabytes)
{
    SampleBudget budget(2048);
    GigaMemory memory(budget);
    EXPECT_TRUE(memory.Allocate());  // nothing reserved: nothing charged
    EXPECT_FALSE(memory.Allocated());
    EXPECT_EQ(budget.Total(), 0);

    const auto offset = memory.Reserve(1000);
    ASSERT_TRUE(memory.Allocate());
    EXPECT_TRUE(memory.Allocated());
    EXPECT_EQ(memory.LastBlockValues(), 2048);
    EXPECT_EQ(memory.Megabytes(), 0);
    EXPECT_EQ(budget.Total(), 0);
    for (int i = 0; i < 2048; ++i) memory.Address(offset)[i] = static_cast<std::int16_t>(i);
    EXPECT_EQ(memory.Address(offset + 999)[0], 999);
    EXPECT_TRUE(memory.Allocate());  // already allocated
}

TEST(GigaMemoryTest, OverBudgetLoadFailsAndLeavesTheTotal)
{
    SampleBudget budget(100);
    ASSERT_TRUE(budget.Reserve(10));
    GigaMemory memory(budget);
    memory.Reserve(kBlock);
    memory.Reserve(kBlock);  // 64 + 64 MB
    testing::internal::CaptureStdout();
    EXPECT_FALSE(memory.Allocate());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error:  Not enough memory\r\n");
    EXPECT_EQ(memory.Megabytes(), 0);
    EXPECT_EQ(budget.Total(), 10);
    EXPECT_FALSE(memory.Allocate());  // stays failed until deleted
    memory.Delete();
    EXPECT_EQ(budget.Total(), 10);
}

TEST(GigaMemoryTest, LastUserFreesTheRecordAndReturnsTheCharge)
{
    SampleBudget budget(2048);
    auto memory = std::make_unique<GigaMemory>(budget);
    memory->SetProgramIndex(3);
    const auto first = memory->Reserve(kBlock);
    const auto second = memory->Reserve(3 << 20);  // 6 MB in the last block
    ASSERT_TRUE(memory->Allocate());
    EXPECT_EQ(memory->Megabytes(), 70);
    EXPECT_EQ(budget.Total(), 70);
    memory->Address(first)[kBlock - 1] = 1;
    memory->Address(second)[(3 << 20) - 1] = 2;

    memory->AddUser();
    memory->AddUser();
    EXPECT_FALSE(memory->RemoveUser());
    EXPECT_EQ(budget.Total(), 70);
    EXPECT_TRUE(memory->RemoveUser());
    EXPECT_EQ(budget.Total(), 0);
    EXPECT_FALSE(memory->Allocated());
    EXPECT_EQ(memory->UserCount(), 0);
    EXPECT_FALSE(memory->RemoveUser());  // no users left: nothing happens

    // The record serves the next load of its program; destroying it returns the charge.
    EXPECT_EQ(memory->Reserve(1 << 20), 0);
    ASSERT_TRUE(memory->Allocate());
    EXPECT_EQ(budget.Total(), 2);
    memory.reset();
    EXPECT_EQ(budget.Total(), 0);
}

TEST(GigaMemoryTest, DefaultRecordChargesTheProcessBudget)
{
    GigaPrefs& prefs = GigaPrefs::Instance();
    const auto before = prefs.ReservedMemoryMb();
    GigaMemory memory;
    memory.Reserve(1 << 20);
    ASSERT_TRUE(memory.Allocate());
    EXPECT_EQ(prefs.ReservedMemoryMb(), before + 2);
    memory.Delete();
    EXPECT_EQ(prefs.ReservedMemoryMb(), before);
}

}  // namespace
