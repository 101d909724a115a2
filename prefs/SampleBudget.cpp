#include "prefs/SampleBudget.h"

bool SampleBudget::Reserve(std::int64_t mb)
{
    if (mb < 0) return false;
    std::int64_t total = total_.load(std::memory_order_acquire);
    do {
        if (total + mb > Limit()) {
            Log("SampleBudget::Reserve(%lld) refused: %lld of %lld MB in use",
                static_cast<long long>(mb), static_cast<long long>(total),
                static_cast<long long>(Limit()));
            return false;
        }
    } while (!total_.compare_exchange_weak(total, total + mb, std::memory_order_acq_rel));
    return true;
}

void SampleBudget::Release(std::int64_t mb)
{
    if (mb <= 0) return;
    std::int64_t total = total_.load(std::memory_order_acquire);
    std::int64_t next = 0;
    do {
        next = total >= mb ? total - mb : 0;
    } while (!total_.compare_exchange_weak(total, next, std::memory_order_acq_rel));
    if (total < mb)
        Log("*** SampleBudget::Release(%lld) more than the %lld MB reserved ***",
            static_cast<long long>(mb), static_cast<long long>(total));
}
