// Reads any input as the per-user preference store, through the store itself and through the
// plug-in's preferences. Whatever the file holds, the preferences that come out are usable
// (preload times within their limits, a volume controller of 7 or 11), what the store kept
// survives a save and a load unchanged, and a crash, a hang or a read or write outside a buffer
// is a finding.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fixtures/TempFolder.h"
#include "fuzz/FuzzFile.h"
#include "prefs/GigaPrefs.h"
#include "prefs/PrefStore.h"

namespace {

bool SameValues(const PrefStore& a, const PrefStore& b)
{
    if (a.Values().size() != b.Values().size()) return false;
    for (std::size_t i = 0; i < a.Values().size(); ++i) {
        const auto& x = a.Values()[i];
        const auto& y = b.Values()[i];
        if (x.name != y.name || x.type != y.type || x.bytes != y.bytes) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzfile::ScratchHome home;
    static const std::string storePath = home.Path() + "/.config/" +
                                         std::string(GigaPrefs::kKeyName) + "/" +
                                         std::string(QelPrefs::kStoreName);
    static const std::string copyPath = home.Path() + "/copy";
    std::filesystem::create_directories(std::filesystem::path(storePath).parent_path());
    testsupport::WriteFileBytes(storePath, data, size);

    // The store keeps what it could read, and writes it back faithfully.
    PrefStore store;
    if (store.Load(storePath) != PrefStore::LoadResult::Missing) {
        if (!store.Save(copyPath)) __builtin_trap();
        PrefStore again;
        if (again.Load(copyPath) != PrefStore::LoadResult::Loaded) __builtin_trap();
        if (!SameValues(store, again)) __builtin_trap();
    }

    // The preferences correct whatever they cannot use; they save when they go.
    {
        platform::MemoryStatus memory {};
        memory.totalBytes = std::uint64_t {8} << 30;
        memory.availableBytes = std::uint64_t {4} << 30;
        GigaPrefs prefs(memory);
        prefs.Load(GigaPrefs::kKeyName);
        const float lmin = prefs.PreloadMinimum();
        const float lmax = prefs.PreloadTolerance();
        if (!std::isfinite(lmin) || !std::isfinite(lmax)) __builtin_trap();
        if (lmin < GigaPrefs::kMinPreloadSeconds || lmin > GigaPrefs::kMaxPreloadSeconds)
            __builtin_trap();
        if (lmax < lmin || lmax > GigaPrefs::kMaxPreloadSeconds) __builtin_trap();
        const int cvol = prefs.VolumeController();
        if (cvol != 7 && cvol != 11) __builtin_trap();
    }
    PrefStore saved;
    if (saved.Load(storePath) != PrefStore::LoadResult::Loaded) __builtin_trap();
    return 0;
}
