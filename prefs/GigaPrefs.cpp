#include "prefs/GigaPrefs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::uint32_t ReverseBytes(std::uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

template <typename T>
T Reversed(T value)
{
    return std::bit_cast<T>(ReverseBytes(std::bit_cast<std::uint32_t>(value)));
}

constexpr bool ValidController(std::int32_t cvol)
{
    return cvol == 7 || cvol == 11;
}

}  // namespace

GigaPrefs::GigaPrefs() : GigaPrefs(platform::PhysicalMemory()) {}

GigaPrefs::GigaPrefs(const platform::MemoryStatus& memory)
    : totalMb_(static_cast<std::int64_t>(memory.totalBytes >> 20)),
      budget_(std::min(static_cast<std::int64_t>(memory.availableBytes >> 20), kMaxBudgetMb))
{
}

GigaPrefs::~GigaPrefs()
{
    SaveAtClose();
}

GigaPrefs& GigaPrefs::Instance()
{
    // Destroyed (and saved) when the library unloads or the process exits. Whatever holds
    // preload stores process-wide (the bank manager) makes sure of us first, so it goes first.
    static GigaPrefs prefs;
    return prefs;
}

void GigaPrefs::DeclareValues()
{
    lmin_ = kDefaultPreloadMinimum;
    lmax_ = kDefaultPreloadTolerance;
    cvol_ = kDefaultVolumeController;
    DeclareValue("lmin", lmin_);
    DeclareValue("lmax", lmax_);
    DeclareValue("cvol", cvol_);
}

void GigaPrefs::CheckAfterLoad()
{
    // A controller that is neither 7 nor 11 means the values were stored in the other byte order.
    if (!ValidController(cvol_)) {
        const std::int32_t swapped = Reversed(cvol_);
        if (ValidController(swapped)) {
            Log("GigaPrefs: values stored in the other byte order, repaired");
            cvol_ = swapped;
            lmin_ = Reversed(lmin_);
            lmax_ = Reversed(lmax_);
        } else {
            Log("*** GigaPrefs: cvol %d is damaged, using %d ***", cvol_, kDefaultVolumeController);
            cvol_ = kDefaultVolumeController;
        }
    }
    if (!std::isfinite(lmin_)) lmin_ = kDefaultPreloadMinimum;
    if (!std::isfinite(lmax_)) lmax_ = kDefaultPreloadTolerance;
    lmin_ = std::clamp(lmin_, kMinPreloadSeconds, kMaxPreloadSeconds);
    lmax_ = std::min(std::max(lmax_, lmin_), kMaxPreloadSeconds);
}
