// Marlet's own editor as a musician meets it, end to end: `marlet-host editor` opens the
// plug-in with a performance under a virtual X server, and a script of real clicks and drags
// picks an instrument from a tone's menu, plays the on-screen keyboard, moves a fader, mutes
// and solos, and saves the performance through the file dialog (a stand-in program on PATH).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "riff/CImpRiff.h"
#include "tests/host/ProcessRunner.h"
#include "tests/support/WavReader.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

const std::string kXvfbRun = "/usr/bin/xvfb-run";

// A player that only reads: the loader never visits it.
struct Reader {
    Reader()
    {
        player.OnInit();
        player.LeavePlayerList();
    }
    GigaPlayer player;
};

TEST(MarletEditor, AScriptedSessionChoosesPlaysMixesAndSaves)
{
    if (!std::filesystem::exists(kXvfbRun)) GTEST_SKIP() << "xvfb-run is not installed";
    const testsupport::TempFolder folder;
    const std::string bank = folder.File("demo.gig");
    testsupport::GigWriter(demo::DemoBank()).Write(bank);
    const std::string rack = folder.File("demo.mrp");
    {
        Reader writer;
        writer.player.Giga(0)->AddLayer(bank, demo::kKeys);
        writer.player.Giga(1)->AddLayer(bank, demo::kDrone);
        ASSERT_TRUE(writer.player.Save(rack));
    }
    const std::string saved = folder.File("saved.mrp");
    std::ofstream(folder.File("zenity")) << "#!/bin/sh\necho '" << saved << "'\n";
    chmod(folder.File("zenity").c_str(), 0755);

    // Tone 3's instrument menu, the demo bank, its pad; middle C held; tone 3's volume down;
    // tone 3 muted, tone 1 soloed; save.
    const std::string script = folder.File("session.txt");
    std::ofstream(script) << "wait 800\nclick 222 118\nwait 300\nclick 260 189\nwait 300\n"
                             "click 260 180\nwait 1500\npress 360 540\nwait 600\n"
                             "release 360 540\nwait 200\ndrag 405 117 380 117 300\nwait 200\n"
                             "click 292 119\nwait 100\nclick 310 67\nwait 200\nclick 154 25\n"
                             "wait 1500\n";
    const std::string chunk = folder.File("state.chunk");
    const std::string wav = folder.File("session.wav");
    const auto r =
        testsupport::ProcessRunner::Run("/usr/bin/env", {"PATH=" + folder.Path() + ":/usr/bin:/bin",
                                                         kXvfbRun,
                                                         "-n",
                                                         "130",
                                                         "-a",
                                                         "-s",
                                                         "-screen 0 1024x768x24",
                                                         MARLET_HOST_PATH,
                                                         "editor",
                                                         MARLET_PLUGIN_PATH,
                                                         "--chunk",
                                                         rack,
                                                         "--actions",
                                                         script,
                                                         "--seconds",
                                                         "7",
                                                         "--audio",
                                                         wav,
                                                         "--save-chunk",
                                                         chunk});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // The performance saved from the toolbar and the host's state both hold the choice.
    for (const std::string& file : {saved, chunk}) {
        Reader reader;
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        CImpRiff riff;
        ASSERT_TRUE(
            riff.OpenRiffMemory({reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()}))
            << file;
        ASSERT_TRUE(reader.player.OnLoad(riff)) << file;
        const GigaToneFacts facts = reader.player.Giga(2)->Facts();
        ASSERT_EQ(facts.layers.size(), 1u) << file;
        EXPECT_EQ(facts.layers[0].bankPath, bank);
        EXPECT_EQ(facts.layers[0].programIndex, demo::kPad);
        EXPECT_EQ(reader.player.Giga(0)->Facts().layers.size(), 1u);
    }

    // Tone 3 (bus 0) sounded while the key was held.
    const testsupport::WavReader audio(wav);
    ASSERT_TRUE(audio.Ok()) << audio.Error();
    EXPECT_GT(audio.Peak(0), 0.001f);
}

}  // namespace
