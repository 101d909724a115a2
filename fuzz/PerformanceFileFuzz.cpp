// Reads any input as a performance file into the live plug-in's player, the way the editor's
// Open command does, loads what it names, plays a phrase on every channel and writes the
// performance back; the next input's rack replaces this one. A refused file is fine; a crash,
// a hang, a read or write outside a buffer or a sample that is not finite is a finding.
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/FuzzFile.h"
#include "fuzz/LivePlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& plugin = fuzzplugin::LivePlugin::Instance();
    fuzzplugin::DemoBank();  // the bank the seed performances name
    static fuzzfile::ScratchFile file;
    static const std::string saved = file.Path() + ".saved";

    GigaPlayer& player = plugin.Player();
    if (player.Load(file.Write(data, size))) {
        player.RequestLoading();
        player.WaitWhileLoading();
        plugin.PlayEveryChannel();
        plugin.Hush();
        player.Save(saved);
    }
    std::error_code ignored;
    std::filesystem::remove(saved, ignored);
    return 0;
}
