// Marlet's own editor as a musician meets it, end to end: `marlet-host editor` opens the
// plug-in with a performance under a virtual X server, and a script of real clicks and drags
// picks an instrument from a tone's menu, plays the on-screen keyboard, moves a fader, mutes
// and solos, and saves the performance through the file dialog (a stand-in program on PATH).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "editor/TreeFile.h"
#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "platform/Platform.h"
#include "prefs/PrefStore.h"
#include "riff/CImpRiff.h"
#include "tests/host/ProcessRunner.h"
#include "tests/support/WavReader.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

const std::string kXvfbRun = "/usr/bin/xvfb-run";

// `marlet-host editor` on the plug-in under a virtual X server, with the performance, the input
// script, how long the editor stays open, extra settings of the environment and options.
testsupport::ProcessResult RunEditor(const std::vector<std::string>& environment,
                                     const std::string& rack, const std::string& script,
                                     int seconds, const std::vector<std::string>& options)
{
    std::vector<std::string> args = environment;
    const std::vector<std::string> command = {kXvfbRun,
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
                                              std::to_string(seconds)};
    args.insert(args.end(), command.begin(), command.end());
    args.insert(args.end(), options.begin(), options.end());
    return testsupport::ProcessRunner::Run("/usr/bin/env", args);
}

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
    const auto r = RunEditor({"PATH=" + folder.Path() + ":/usr/bin:/bin"}, rack, script, 7,
                             {"--audio", wav, "--save-chunk", chunk});
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

// `marlet-perf show` of a saved state, line by line.
std::vector<std::string> ShowLines(const std::string& file)
{
    const auto r = testsupport::ProcessRunner::Run(MARLET_PERF_PATH, {"show", file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

PrefStore ReadPrefs()
{
    PrefStore store;
    EXPECT_EQ(store.Load(platform::UserConfigFolder() + "/marlet/prefs"),
              PrefStore::LoadResult::Loaded);
    return store;
}

float PreloadMinimum(const PrefStore& store)
{
    const PrefStore::Value* value = store.Find("lmin");
    float seconds = 0;
    if (value && value->bytes.size() == sizeof seconds)
        std::memcpy(&seconds, value->bytes.data(), sizeof seconds);
    return seconds;
}

// The settings window's "Sample preload minimum" fader: the middle of its thumb for a value, in
// editor pixels (the window is centred; the fader's travel is 158 pixels for 0.2 to 4.0 s).
int PreloadThumbX(float seconds)
{
    return 371 + static_cast<int>(std::lround((seconds - 0.2) / 3.8 * 158)) + 6;
}

// A musician new to the plug-in, all in a fresh home folder: drags a program from the browser
// onto tone 3, drags a folder into the favourites, raises the preload minimum in the settings
// and stretches a stacked layer's keys in the stack editor. The host's saved state, the
// favourites and the preferences hold exactly those changes; a second session (the plug-in
// unloaded and loaded again) starts from the stored setting.
TEST(MarletEditor, BrowserFavoriteSettingAndStackEditAreKeptAndSurviveAReload)
{
    if (!std::filesystem::exists(kXvfbRun)) GTEST_SKIP() << "xvfb-run is not installed";
    const testsupport::IsolatedHome home;
    const std::string banks = home.Folder().File("Banks");  // first in the home folder's tree
    std::filesystem::create_directories(banks + "/Pads");
    const std::string bank = banks + "/demo.gig";
    testsupport::GigWriter(demo::DemoBank()).Write(bank);
    const std::string rack = home.Folder().File("rack.mrp");
    {
        Reader writer;
        writer.player.Giga(0)->AddLayer(bank, demo::kKeys);
        writer.player.Giga(1)->AddLayer(bank, demo::kPad);
        GigaPart* drone = writer.player.Giga(1)->AddLayer(bank, demo::kDrone);
        ASSERT_NE(drone, nullptr);
        drone->keyLow = 36;
        drone->keyHigh = 47;
        ASSERT_TRUE(writer.player.Save(rack));
    }

    // What the plug-in keeps when nobody touches anything.
    const std::string idle = home.Folder().File("idle.txt");
    std::ofstream(idle) << "wait 300\n";
    const std::string before = home.Folder().File("before.chunk");
    auto r = RunEditor({}, rack, idle, 2, {"--save-chunk", before});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const PrefStore prefsBefore = ReadPrefs();
    TreeFile none;
    none.Load();
    EXPECT_EQ(none.Count(), 0);

    // Browse: open Home, then Banks, pick demo.gig; drag its third program (the drone) onto
    // tone 3 and the Pads folder into the favourites; close the browser. Settings: the Memory
    // tab, the preload minimum 40 pixels up, Ok. Tone 2's stack: unfold it, open the stack
    // editor and drag the drone's upper end four keys up.
    const float minimumBefore = PreloadMinimum(prefsBefore);
    const int thumb = PreloadThumbX(minimumBefore);
    const std::string script = home.Folder().File("session.txt");
    // The rack and the bank's program names load on threads of their own: those waits are long
    // enough for a machine busy with other work.
    std::ofstream(script) << "wait 1500\nclick 274 25\nwait 300\nclick 192 317\nwait 300\n"
                             "click 208 335\nwait 300\nclick 270 353\nwait 1500\n"
                             "drag 620 335 136 118 400\nwait 300\ndrag 270 371 90 340 400\n"
                             "wait 300\nclick 274 25\nwait 300\nclick 394 25\nwait 300\n"
                             "click 330 196\nwait 300\ndrag "
                          << thumb << " 302 " << thumb + 40
                          << " 302 300\nwait 200\nclick 579 378\nwait 300\nclick 8 92\n"
                             "wait 300\nclick 27 138\nwait 400\ndrag 302 263 326 263 300\n"
                             "wait 300\n";
    const std::string after = home.Folder().File("after.chunk");
    r = RunEditor({}, rack, script, 12, {"--save-chunk", after});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // The state: tone 3 plays the drone, the stacked drone's keys reach higher, nothing else.
    std::vector<std::string> expected = ShowLines(before);
    const std::vector<std::string> saved = ShowLines(after);
    const std::string droneKeys = "program 2 of " + bank + ", keys 36-47,";
    const auto stacked = std::find_if(expected.begin(), expected.end(), [&](const std::string& l) {
        return l.find(droneKeys) != std::string::npos;
    });
    ASSERT_NE(stacked, expected.end());
    const std::size_t at = static_cast<std::size_t>(stacked - expected.begin());
    ASSERT_LT(at, saved.size());
    const std::size_t dash = saved[at].find("keys 36-");
    ASSERT_NE(dash, std::string::npos) << saved[at];
    const int high = std::atoi(saved[at].c_str() + dash + 8);
    EXPECT_GE(high, 49);
    EXPECT_LE(high, 52);
    stacked->replace(stacked->find("36-47"), 5, "36-" + std::to_string(high));
    const auto tone3 = std::find_if(expected.begin(), expected.end(), [](const std::string& l) {
        return l.rfind("tone 2:", 0) == 0;
    });
    ASSERT_NE(tone3, expected.end());
    tone3->replace(tone3->find("layers 0"), 8, "layers 1");
    const std::size_t added = static_cast<std::size_t>(tone3 - expected.begin()) + 1;
    ASSERT_LT(added, saved.size());
    EXPECT_EQ(saved[added].rfind("  layer 0: program 2 of " + bank + ", keys 0-127,", 0), 0u)
        << saved[added];
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(added), saved[added]);
    EXPECT_EQ(saved, expected);

    // The favourites: the folder dragged in, nothing more.
    TreeFile favorites;
    ASSERT_TRUE(favorites.Load());
    ASSERT_EQ(favorites.Count(), 1);
    EXPECT_EQ(favorites.PathAt(0), banks + "/Pads");

    // The preferences: only the preload minimum moved (40 of 158 pixels: about 0.96 s).
    const PrefStore prefsAfter = ReadPrefs();
    const float minimum = PreloadMinimum(prefsAfter);
    EXPECT_NEAR(minimum, minimumBefore + 0.96f, 0.03f);
    ASSERT_EQ(prefsAfter.Values().size(), prefsBefore.Values().size());
    for (std::size_t i = 0; i < prefsBefore.Values().size(); ++i) {
        const PrefStore::Value& was = prefsBefore.Values()[i];
        const PrefStore::Value& now = prefsAfter.Values()[i];
        EXPECT_EQ(now.name, was.name);
        if (was.name != "lmin") {
            EXPECT_EQ(now.bytes, was.bytes) << was.name;
        }
    }

    // Loaded again, the plug-in shows the stored minimum: a drag from its thumb continues from
    // there (a plug-in back at the default would move the thumb from elsewhere).
    const int stored = PreloadThumbX(minimum);
    const std::string again = home.Folder().File("again.txt");
    std::ofstream(again) << "wait 800\nclick 394 25\nwait 300\nclick 330 196\nwait 300\ndrag "
                         << stored << " 302 " << stored + 20 << " 302 300\nwait 200\n"
                         << "click 579 378\nwait 300\n";
    r = RunEditor({}, rack, again, 4, {});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NEAR(PreloadMinimum(ReadPrefs()), minimum + 0.48f, 0.03f);
    TreeFile kept;
    ASSERT_TRUE(kept.Load());
    EXPECT_EQ(kept.Count(), 1);
}

}  // namespace
