// Reads any input as the favourites file. Whatever it holds, the store keeps at most 64 paths
// that each fit the current path, writes them back so that a second load gives the same list,
// and a crash, a hang or a read outside a buffer is a finding.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/TreeFile.h"
#include "fixtures/TempFolder.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzfile::ScratchHome home;
    static const std::string path = TreeFile::DefaultPath();
    static const std::string copyPath = home.Path() + "/copy.fav";
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testsupport::WriteFileBytes(path, data, size);

    TreeFile favorites;
    favorites.Load();
    if (favorites.Count() > TreeFile::kMaxEntries) __builtin_trap();
    std::vector<std::string> kept;
    for (int i = 0; i < favorites.Count(); ++i) {
        const std::string& p = favorites.PathAt(i);
        if (p.empty() || p.size() > TreeFile::kMaxPathBytes) __builtin_trap();
        favorites.Select(i + 1);
        if (favorites.CurrentPath() != p) __builtin_trap();
        if (favorites.NameOf(i).empty()) __builtin_trap();
        kept.push_back(p);
    }

    // What was kept survives a save and a load unchanged.
    TreeFile copy(copyPath);
    for (const std::string& p : kept)
        if (!copy.Add(p)) __builtin_trap();
    if (!copy.Save()) __builtin_trap();
    TreeFile again(copyPath);
    if (!again.Load() || again.Count() != static_cast<int>(kept.size())) __builtin_trap();
    for (int i = 0; i < again.Count(); ++i)
        if (again.PathAt(i) != kept[i]) __builtin_trap();
    std::filesystem::remove(copyPath);
    return 0;
}
