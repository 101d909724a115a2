// Marlet's own editor as a musician meets it, end to end: `marlet-host editor` opens the
// plug-in with a performance on the virtual X server this program starts for itself
// (tests/support/VirtualDisplayEnvironment.h), and a script of real clicks and drags picks an
// instrument from a tone's menu, plays the on-screen keyboard, moves a fader, mutes and solos,
// and saves the performance through the file dialog (a stand-in program on PATH). The scripts
// wait for what the editor shows ("until" a pixel takes a colour), not for the clock, and the
// editor stays open until the script has ended.
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
#include "tests/support/VirtualDisplayEnvironment.h"
#include "tests/support/WavReader.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

using testsupport::VirtualDisplayEnvironment;

// `marlet-host editor` on the plug-in with the performance, until the input script has played
// to its end, with more options.
testsupport::ProcessResult RunEditor(const std::string& rack, const std::string& script,
                                     const std::vector<std::string>& options)
{
    std::vector<std::string> args = {
        "editor", MARLET_PLUGIN_PATH, "--chunk", rack,          "--actions",
        script,   "--seconds",        "0",       "--until-done"};
    args.insert(args.end(), options.begin(), options.end());
    return testsupport::ProcessRunner::Run(MARLET_HOST_PATH, args);
}

// What the scripts wait for: colours the editor draws, at points where nothing else is drawn
// in them (a glyph's inside for a name's colour).
namespace shows {
constexpr const char* kLoaded = "00cb1f";        // an instrument's name once loaded
constexpr const char* kSelected = "50a0ff";      // the selected tone's frame
constexpr const char* kWhiteKey = "f6f6f3";      // an idle white key, low on the key
constexpr const char* kVolumeThumb = "f0f0f0";   // a strip's volume thumb, at its middle
constexpr const char* kMuteLamp = "ffbe3c";      // M lit
constexpr const char* kSoloLamp = "78dc78";      // S lit
constexpr const char* kPanel = "323c50";         // the browser's panels
constexpr const char* kFolder = "f6d68c";        // a folder's icon
constexpr const char* kProgram = "f6a632";       // a program's icon; an unfolded tone's arrow
constexpr const char* kDialog = "f0f0f5";        // the settings window's face
constexpr const char* kActiveTab = "83b1e9";     // the settings window's tab in front
constexpr const char* kFaderThumb = "a0a0dc";    // a settings fader's thumb, at its middle
constexpr const char* kStackHeading = "3d4251";  // the stack editor's heading
constexpr const char* kChosenBar = "ecaa54";     // the stack editor's chosen layer
constexpr const char* kMenu = "242832";          // a menu's face (over tone 5's strip)
constexpr const char* kMenuHeading = "2e333f";   // the heading of a menu's open submenu
}  // namespace shows

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
    if (const std::string why = VirtualDisplayEnvironment::Missing(); !why.empty())
        GTEST_SKIP() << why;
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

    // Once both instruments have loaded (a tone that finishes loading selects itself): tone 3's
    // instrument menu (the press selects the tone), the demo bank, its pad; middle C held;
    // tone 3's volume down; tone 3 muted, tone 1 soloed; save, awaited as the file itself.
    const std::string script = folder.File("session.txt");
    std::ofstream(script) << "until 120 65 " << shows::kLoaded << "\nuntil 118 91 "
                          << shows::kLoaded << "\nclick 222 118\nuntil 16 120 " << shows::kSelected
                          << "\nuntil 290 176 " << shows::kMenu << "\nclick 260 189\nuntil 300 139 "
                          << shows::kMenuHeading << "\nclick 260 180\n"
                          << "until 123 117 " << shows::kLoaded << "\npress 360 540\n"
                          << "until 360 540 !" << shows::kWhiteKey << "\nwait 600\n"
                          << "release 360 540\nuntil 360 540 " << shows::kWhiteKey << "\n"
                          << "drag 405 117 380 117 300\nuntil 402 118 !" << shows::kVolumeThumb
                          << "\nclick 292 119\nuntil 290 114 " << shows::kMuteLamp << "\n"
                          << "click 310 67\nuntil 305 62 " << shows::kSoloLamp << "\n"
                          << "click 154 25\nuntil-file " << saved << "\n";
    const std::string chunk = folder.File("state.chunk");
    const std::string wav = folder.File("session.wav");
    const testsupport::ScopedEnv path("PATH", folder.Path() + ":/usr/bin:/bin");
    const auto r = RunEditor(rack, script, {"--audio", wav, "--save-chunk", chunk});
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
    if (const std::string why = VirtualDisplayEnvironment::Missing(); !why.empty())
        GTEST_SKIP() << why;
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

    // What the plug-in keeps when nobody touches anything (once tones 1 and 2 have loaded).
    const std::string loaded =
        "until 120 65 " + std::string(shows::kLoaded) + "\nuntil 108 87 " + shows::kLoaded + "\n";
    const std::string idle = home.Folder().File("idle.txt");
    std::ofstream(idle) << loaded;
    const std::string before = home.Folder().File("before.chunk");
    auto r = RunEditor(rack, idle, {"--save-chunk", before});
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
    // Each step waits for what the one before shows: the browser's panels, Home's and Banks'
    // folders, the bank's programs (read on a thread of their own), the drone's name on tone 3
    // once loaded, the new favourite, the keyboard back, the settings window, its Memory tab,
    // the thumb gone from its place, the window gone, tone 2 unfolded, the stack editor and
    // the drone's bar reaching further.
    const std::string script = home.Folder().File("session.txt");
    std::ofstream(script) << loaded << "click 274 25\nuntil 100 420 " << shows::kPanel
                          << "\nclick 192 317\nuntil 221 333 " << shows::kFolder
                          << "\nclick 208 335\nuntil 237 369 " << shows::kFolder
                          << "\nclick 270 353\nuntil 578 331 " << shows::kProgram
                          << "\ndrag 620 335 136 118 400\nuntil 118 117 " << shows::kLoaded
                          << "\ndrag 270 371 90 340 400\nuntil 11 315 " << shows::kFolder
                          << "\nclick 274 25\nuntil 360 540 " << shows::kWhiteKey
                          << "\nclick 394 25\nuntil 400 300 " << shows::kDialog
                          << "\nclick 330 196\nuntil 300 192 " << shows::kActiveTab << "\ndrag "
                          << thumb << " 302 " << thumb + 40 << " 302 300\nuntil " << thumb
                          << " 302 !" << shows::kFaderThumb << "\nclick 579 378\nuntil 400 300 !"
                          << shows::kDialog << "\nclick 8 92\nuntil 8 92 " << shows::kProgram
                          << "\nclick 27 138\nuntil 60 157 " << shows::kStackHeading
                          << "\ndrag 302 263 326 263 300\nuntil 322 269 " << shows::kChosenBar
                          << "\n";
    const std::string after = home.Folder().File("after.chunk");
    r = RunEditor(rack, script, {"--save-chunk", after});
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
    std::ofstream(again) << loaded << "click 394 25\nuntil 400 300 " << shows::kDialog
                         << "\nclick 330 196\nuntil 300 192 " << shows::kActiveTab << "\ndrag "
                         << stored << " 302 " << stored + 20 << " 302 300\nuntil " << stored
                         << " 302 !" << shows::kFaderThumb << "\nclick 579 378\nuntil 400 300 !"
                         << shows::kDialog << "\n";
    r = RunEditor(rack, again, {});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NEAR(PreloadMinimum(ReadPrefs()), minimum + 0.48f, 0.03f);
    TreeFile kept;
    ASSERT_TRUE(kept.Load());
    EXPECT_EQ(kept.Count(), 1);
}

}  // namespace
