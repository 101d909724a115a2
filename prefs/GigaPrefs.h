// The plug-in's preferences: sample preload minimum and tolerance, the instrument volume
// controller, and the machine's memory figures from which the sample memory budget is taken.
// One object per process (Instance), saved when the process ends or the library unloads.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Platform.h"
#include "prefs/QelPrefs.h"
#include "prefs/SampleBudget.h"

class GigaPrefs : public QelPrefs {
public:
    static constexpr float kDefaultPreloadMinimum = 1.0f;
    static constexpr float kDefaultPreloadTolerance = 3.0f;
    static constexpr std::int32_t kDefaultVolumeController = 7;
    static constexpr float kMinPreloadSeconds = 0.2f;
    static constexpr float kMaxPreloadSeconds = 4.0f;
    static constexpr std::int64_t kMaxBudgetMb = 2048;
    static constexpr std::string_view kKeyName = "marlet";

    // Memory figures from the machine.
    GigaPrefs();
    explicit GigaPrefs(const platform::MemoryStatus& memory);
    ~GigaPrefs() override;

    static GigaPrefs& Instance();

    // "lmin", "lmax" and "cvol". Read by the loading thread, written by the GUI: atomic access.
    float PreloadMinimum() const { return std::atomic_ref(lmin_).load(std::memory_order_relaxed); }
    float PreloadTolerance() const
    {
        return std::atomic_ref(lmax_).load(std::memory_order_relaxed);
    }
    std::int32_t VolumeController() const
    {
        return std::atomic_ref(cvol_).load(std::memory_order_relaxed);
    }
    void SetPreloadMinimum(float seconds) { std::atomic_ref(lmin_).store(seconds); }
    void SetPreloadTolerance(float seconds) { std::atomic_ref(lmax_).store(seconds); }
    void SetVolumeController(std::int32_t controller) { std::atomic_ref(cvol_).store(controller); }

    std::int64_t TotalMemoryMb() const { return totalMb_; }
    // The sample memory budget: available physical memory at start-up, at most 2048 MB.
    std::int64_t AvailableMemoryMb() const { return budget_.Limit(); }
    std::int64_t ReservedMemoryMb() const { return budget_.Total(); }
    bool ReserveMemory(std::int64_t mb) { return budget_.Reserve(mb); }
    void ReleaseMemory(std::int64_t mb) { budget_.Release(mb); }
    SampleBudget& Budget() { return budget_; }

protected:
    void DeclareValues() override;
    void CheckAfterLoad() override;

private:
    // Bound to the store by address; mutable so that const readers can take an atomic_ref.
    alignas(std::atomic_ref<float>::required_alignment) mutable float lmin_ =
        kDefaultPreloadMinimum;
    alignas(std::atomic_ref<float>::required_alignment) mutable float lmax_ =
        kDefaultPreloadTolerance;
    alignas(std::atomic_ref<std::int32_t>::required_alignment) mutable std::int32_t cvol_ =
        kDefaultVolumeController;
    std::int64_t totalMb_ = 0;
    SampleBudget budget_;
};
