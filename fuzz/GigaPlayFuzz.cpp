// Plays any input as a .gig instrument: the input is split at each "GXSP" into the .gig and its
// extension files, every program (up to 32) goes onto the live plug-in's rack through a host
// chunk, and a phrase is played on every channel. A refused file or program is fine; a crash,
// a hang, a read or write outside a buffer, a sample that is not finite or a write outside the
// host's block is a finding.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/TempFolder.h"
#include "fuzz/LivePlugin.h"

namespace {

constexpr std::string_view kSeparator = "GXSP";
constexpr int kMaxExtensionFiles = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& plugin = fuzzplugin::LivePlugin::Instance();

    // A folder of its own for each input: the bank manager shares banks by path, and a bank
    // held over from an earlier input must never meet the bytes of this one. The last two go
    // when the process ends.
    static struct Folders {
        int round = 0;
        std::string Of(int n) const
        {
            return std::string(fuzzplugin::kFolder) + "/play-" + std::to_string(getpid()) + "-" +
                   std::to_string(n);
        }
        void Remove(int n) const
        {
            std::error_code ignored;
            std::filesystem::remove_all(Of(n), ignored);
        }
        ~Folders()
        {
            Remove(round - 1);
            Remove(round - 2);
        }
    } folders;
    folders.Remove(folders.round - 2);
    const std::string folder = folders.Of(folders.round++);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/fz.gig";

    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (int file = 0; file <= kMaxExtensionFiles; ++file) {
        const std::size_t cut = rest.find(kSeparator);
        const std::string name =
            file == 0 ? path : folder + "/" + testsupport::GigWriter::ExtensionName("fz", file);
        const std::string_view part = rest.substr(0, cut);
        testsupport::WriteFileBytes(name, part.data(), part.size());
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + kSeparator.size());
    }

    // Tone t plays programs t and t + 16.
    plugin.SetChunk(hostside::HostState([&](GigaPlayer& rack) {
        for (int t = 0; t < 16; ++t) {
            rack.Giga(t)->AddLayer(path, t);
            rack.Giga(t)->AddLayer(path, t + 16);
        }
    }));
    plugin.PlayEveryChannel();
    plugin.Hush();
    // The next input's rack replaces this one; its load pass lets go of this bank.
    return 0;
}
