// What a host hears from Marlet's editor, through `marlet-host editor` on the program's own
// virtual X server: opening a project and letting its instruments load tells the host nothing;
// a fader moved with the mouse tells it its state changed (audioMasterUpdateDisplay, which
// Ardour takes as "the session is modified"), and the saved state holds the fader's level.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "tests/host/ProcessRunner.h"
#include "tests/support/VirtualDisplayEnvironment.h"
#include "tools/marlet-demo/DemoInstrument.h"
#include "vst/VstAbi.h"

namespace {

using testsupport::VirtualDisplayEnvironment;

constexpr const char* kLoaded = "00cb1f";       // an instrument's name once loaded
constexpr const char* kVolumeThumb = "f0f0f0";  // a strip's volume thumb, at its middle

// How often marlet-host's report says the plug-in called the host with `opcode`.
int HostCalls(const std::string& out, int opcode)
{
    std::istringstream in(out);
    const std::string prefix = "host call " + std::to_string(opcode) + " ";
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) return std::stoi(line.substr(line.rfind(':') + 1));
    return 0;
}

class EditorHostCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = VirtualDisplayEnvironment::Missing(); !why.empty())
            GTEST_SKIP() << why;
        testsupport::GigWriter(demo::DemoBank()).Write(bank);
        GigaPlayer writer;
        writer.OnInit();
        writer.LeavePlayerList();
        writer.Giga(0)->AddLayer(bank, demo::kKeys);
        writer.Giga(1)->AddLayer(bank, demo::kDrone);
        const std::size_t size = writer.SaveToMemory();
        std::ofstream(rack, std::ios::binary).write(writer.Chunk().data(), size);
    }

    // The project opened in the editor: both instruments loaded, then `more`; the host's state
    // saved when the editor closes.
    testsupport::ProcessResult Run(const std::string& more)
    {
        std::ofstream(script) << "until 120 65 " << kLoaded << "\nuntil 118 91 " << kLoaded << "\n"
                              << more;
        return testsupport::ProcessRunner::Run(
            MARLET_HOST_PATH, {"editor", MARLET_PLUGIN_PATH, "--chunk", rack, "--actions", script,
                               "--seconds", "0", "--until-done", "--save-chunk", saved});
    }

    const testsupport::IsolatedHome home;
    const testsupport::TempFolder folder;
    const std::string bank = folder.File("demo.gig");
    const std::string rack = folder.File("project.chunk");
    const std::string script = folder.File("script.txt");
    const std::string saved = folder.File("saved.chunk");
};

TEST_F(EditorHostCalls, AProjectThatLoadsIsNoChange)
{
    const auto r = Run("");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GT(HostCalls(r.out, vst::audioMasterVersion), 0) << r.out;
    EXPECT_EQ(HostCalls(r.out, vst::audioMasterUpdateDisplay), 0) << r.out;
}

TEST_F(EditorHostCalls, AFaderMovedTellsTheHostAndItsLevelIsSaved)
{
    const auto r = Run(std::string("drag 405 65 380 65 300\nuntil 402 66 !") + kVolumeThumb + "\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(HostCalls(r.out, vst::audioMasterUpdateDisplay), 1) << r.out;

    std::ifstream in(saved, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    GigaPlayer reopened;
    reopened.OnInit();
    reopened.LeavePlayerList();
    reopened.LoadFromMemory(bytes.data(), bytes.size());
    EXPECT_LT(reopened.Giga(0)->Volume(), KyTone::kDefaultVolume) << "the fader went down";
    EXPECT_EQ(reopened.Giga(1)->Volume(), KyTone::kDefaultVolume);
}

}  // namespace
