// Hands any input to the live plug-in as the host's saved state (effSetChunk), plays a phrase on
// every channel and checks that the state the plug-in then reports is stable: read back in and
// reported again it comes out byte for byte the same, so a project saved after a load loses
// nothing the next load would keep. A crash, a hang, a read or write outside a buffer, a sample
// that is not finite, a write into the host's copy or an unstable state is a finding.
#include <cstdint>
#include <vector>

#include "fuzz/LivePlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& plugin = fuzzplugin::LivePlugin::Instance();
    fuzzplugin::DemoBank();  // the bank the seed states name

    plugin.SetChunk(data, size);
    plugin.PlayEveryChannel();
    plugin.Hush();

    const std::vector<std::uint8_t> reported = plugin.GetChunk();
    plugin.SetChunk(reported);
    if (plugin.GetChunk() != reported) __builtin_trap();
    // The next input replaces the whole rack.
    return 0;
}
