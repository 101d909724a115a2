// The loading thread charges and releases the budget while the GUI reads it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "prefs/GigaPrefs.h"
#include "prefs/SampleBudget.h"

namespace {

TEST(SampleBudgetThreadTest, ConcurrentChargesNeverExceedTheLimit)
{
    SampleBudget budget(1000);
    std::atomic<bool> stop {false};
    std::int64_t highest = 0;
    std::thread reader([&] {
        while (!stop.load()) highest = std::max(highest, budget.Total());
    });
    std::vector<std::thread> loaders;
    for (int t = 0; t < 2; ++t) {
        loaders.emplace_back([&] {
            for (int i = 0; i < 20000; ++i)
                if (budget.Reserve(7)) budget.Release(7);
        });
    }
    for (auto& loader : loaders) loader.join();
    stop = true;
    reader.join();
    EXPECT_EQ(budget.Total(), 0);
    EXPECT_LE(highest, 1000);
}

TEST(SampleBudgetThreadTest, PreferencesReadWhileTheSettingsWindowWrites)
{
    GigaPrefs prefs(platform::MemoryStatus {1ull << 30, 1ull << 30});
    std::thread gui([&] {
        for (int i = 0; i < 10000; ++i) prefs.SetPreloadMinimum(i % 2 ? 0.5f : 2.0f);
    });
    for (int i = 0; i < 10000; ++i) {
        float seconds = prefs.PreloadMinimum();
        ASSERT_TRUE(seconds == 0.5f || seconds == 2.0f || seconds == 1.0f);
    }
    gui.join();
}

}  // namespace
