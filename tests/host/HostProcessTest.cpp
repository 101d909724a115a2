// Runs the marlet-host executable as a user would and checks its files, output and exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "fixtures/MidiFileWriter.h"
#include "fixtures/TempFolder.h"
#include "platform/FourCC.h"
#include "tests/host/ProcessRunner.h"
#include "tests/host/TestPlugins.h"
#include "tests/support/WavReader.h"

namespace {

using testing::HasSubstr;
using testsupport::ProcessResult;
using testsupport::TempFolder;
using testsupport::WavReader;

ProcessResult Host(const std::vector<std::string>& args)
{
    return testsupport::ProcessRunner::Run(MARLET_HOST_PATH, args);
}

std::string ReadText(const std::string& path)
{
    const auto bytes = testsupport::ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

// "key: value" lines of the info command.
std::map<std::string, std::string> Fields(const std::string& text)
{
    std::map<std::string, std::string> fields;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (const auto colon = line.find(": "); colon != std::string::npos)
            fields[line.substr(0, colon)] = line.substr(colon + 2);
    return fields;
}

#define EXPECT_SUCCESS(result) \
    EXPECT_EQ((result).exitCode, 0) << "stdout:\n" << (result).out << "stderr:\n" << (result).err

TEST(HostExitCodes, UsageErrorsExitWithTwoAndHelpWithZero)
{
    auto r = Host({});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.err, HasSubstr("no command"));

    r = Host({"render", testplugins::kProbe, "--out", "x.wav", "--rate", "5"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.err, HasSubstr("--rate"));

    r = Host({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_THAT(r.out, HasSubstr("marlet-host render PLUGIN"));
}

TEST(HostExitCodes, FailuresExitWithOneAndSayWhy)
{
    TempFolder folder;
    const std::string wav = folder.File("out.wav");
    const auto fails = [](const ProcessResult& r, const std::string& why) {
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_THAT(r.err, HasSubstr(why));
    };
    fails(Host({"info", folder.File("missing.so")}), "cannot load");
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File("junk.so"),
                                            "\x7f"
                                            "ELF",
                                            4));
    fails(Host({"info", folder.File("junk.so")}), "cannot load");
    fails(Host({"info", testplugins::NonPluginLibrary()}), "not a VST plug-in");

    const std::vector<std::uint8_t> garbage {'M', 'T', 'h',  'd',  0,    0,    0,   6,
                                             0,   1,   0,    2,    1,    0xE0, 'M', 'T',
                                             'r', 'k', 0x7F, 0xFF, 0xFF, 0xFF};
    ASSERT_TRUE(
        testsupport::WriteFileBytes(folder.File("bad.mid"), garbage.data(), garbage.size()));
    fails(Host({"render", testplugins::kProbe, "--out", wav, "--midi", folder.File("bad.mid")}),
          "bad.mid");
    fails(Host({"render", testplugins::kProbe, "--out", wav, "--midi", folder.File("none.mid")}),
          "none.mid");
    fails(Host({"render", testplugins::kProbe, "--out", wav, "--chunk", folder.File("none.bin")}),
          "none.bin");
    fails(Host({"render", testplugins::kProbe, "--out", wav, "--bus", "2"}), "bus 2");
    fails(Host({"render", testplugins::kProbe, "--out", folder.File("no/folder/x.wav")}), "x.wav");
}

TEST(HostRender, DrivesThePluginAsAHostDoes)
{
    TempFolder folder;
    const testsupport::ScopedEnv log("MARLET_PROBE_LOG", folder.File("log"));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File("in.bin"), "restored", 8));
    // 8000 Hz, blocks of 16: the second note starts at frame 20 (block 1) and ends at frame 52
    // (block 3); the first note's end at frame 80 lies beyond the 80-frame render.
    const auto r = Host({"render", testplugins::kProbe, "--out", folder.File("out.wav"), "--rate",
                         "8000", "--block", "16", "--seconds", "0.01", "--notes",
                         "0:0:60:127:0.01,0.0025:1:62:64:0.004", "--chunk", folder.File("in.bin"),
                         "--save-chunk", folder.File("out.bin")});
    EXPECT_SUCCESS(r);

    const std::string id = std::to_string(FourCC("Prb1"));
    EXPECT_EQ(ReadText(folder.File("log")),
              "entry version 2400\n"
              "dispatch 0 0 0 0\n"  // effOpen, during which the probe questions the host
              "host sampleRate 8000\n"
              "host blockSize 16\n"
              "host currentId " +
                  id +
                  "\n"
                  "host processLevel 4\n"
                  "host canDo offline 1\n"
                  "host canDo sizeWindow 0\n"
                  "host vendor Marlet host\n"
                  "host product marlet-host\n"
                  "host time 0\n"
                  "dispatch 10 0 0 8000\n"  // sample rate
                  "dispatch 11 0 16 0\n"    // block size
                  "dispatch 24 0 8 0\n"     // the chunk, before switching on
                  "chunk restored\n"
                  "dispatch 12 0 1 0\n"  // mains on
                  "dispatch 71 0 0 0\n"  // start process
                  "events 1\nevent 0 90 60 127\nprocess 16\n"
                  "events 1\nevent 4 91 62 64\nprocess 16\n"
                  "process 16\n"
                  "events 1\nevent 4 81 62 0\nprocess 16\n"
                  "process 16\n"
                  "dispatch 72 0 0 0\n"   // stop process
                  "dispatch 12 0 0 0\n"   // mains off
                  "dispatch 23 0 0 0\n"   // get chunk
                  "dispatch 1 0 0 0\n");  // close

    EXPECT_EQ(ReadText(folder.File("out.bin")), "restored");
    const WavReader wav(folder.File("out.wav"));
    ASSERT_TRUE(wav.Ok()) << wav.Error();
    EXPECT_TRUE(wav.IsFloat());
    EXPECT_EQ(wav.SampleRate(), 8000);
    ASSERT_EQ(wav.Channels(), 4);
    ASSERT_EQ(wav.Frames(), 80);
    for (int f = 0; f < 80; ++f) {
        const float impulse = f == 0 ? 1.0f : f == 20 ? 64.0f / 127.0f : 0.0f;
        EXPECT_FLOAT_EQ(wav.Sample(f, 0), impulse) << "frame " << f;
        for (int c = 1; c < 4; ++c) EXPECT_FLOAT_EQ(wav.Sample(f, c), 0.25f * c);
    }
}

TEST(HostRender, LengthIsTheMusicPlusTheTail)
{
    TempFolder folder;
    const std::string wav = folder.File("out.wav");
    auto r = Host({"render", testplugins::kProbe, "--out", wav, "--rate", "8000", "--block", "100",
                   "--notes", "0.5:0:60:100:0.25", "--tail", "0.5"});
    EXPECT_SUCCESS(r);
    EXPECT_EQ(WavReader(wav).Frames(), 10000);

    // A MIDI file lasts until its last end of track; the note-on at tick 480 is at 0.5 s.
    testsupport::MidiFileWriter midi(1, 480);
    midi.Track().Tempo(0, 500000).EndOfTrack(960);
    midi.Track().NoteOn(480, 0, 60, 127).NoteOff(240, 0, 60).EndOfTrack();
    const auto bytes = midi.Bytes();
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File("a.mid"), bytes.data(), bytes.size()));
    r = Host({"render", testplugins::kProbe, "--out", wav, "--rate", "8000", "--block", "333",
              "--midi", folder.File("a.mid"), "--tail", "0.25", "--bus", "1"});
    EXPECT_SUCCESS(r);
    const WavReader read(wav);
    ASSERT_EQ(read.Frames(), 10000);  // 1 s of music and a quarter second of tail
    ASSERT_EQ(read.Channels(), 2);
    EXPECT_FLOAT_EQ(read.Sample(0, 0), 0.5f);  // outputs 2 and 3
    EXPECT_FLOAT_EQ(read.Sample(0, 1), 0.75f);

    r = Host({"render", testplugins::kProbe, "--out", wav, "--rate", "8000", "--midi",
              folder.File("a.mid")});
    EXPECT_SUCCESS(r);
    const WavReader all(wav);
    EXPECT_FLOAT_EQ(all.Sample(4000, 0), 1.0f);
    EXPECT_EQ(all.Peak(0, 0, 4000), 0.0f);
}

TEST(HostThirdPartyPlugin, InfoReportsNekobi)
{
    SKIP_WITHOUT_NEKOBI();
    const auto r = Host({"info", testplugins::kNekobi, "--can-do", "midiProgramNames"});
    EXPECT_SUCCESS(r);
    auto f = Fields(r.out);
    EXPECT_EQ(f["name"], "Nekobi");
    EXPECT_EQ(f["unique ID"], "DNek");
    EXPECT_EQ(f["category"], "2");
    EXPECT_EQ(f["inputs"], "0");
    EXPECT_EQ(f["canDo receiveVstEvents"], "1");
    EXPECT_EQ(f.count("canDo midiProgramNames"), 1u);
    EXPECT_EQ(f.count("output 0"), 1u);
}

TEST(HostThirdPartyPlugin, RendersANoteThroughNekobi)
{
    SKIP_WITHOUT_NEKOBI();
    TempFolder folder;
    const std::string wav = folder.File("nekobi.wav");
    const auto r = Host({"render", testplugins::kNekobi, "--out", wav, "--rate", "48000", "--block",
                         "100", "--seconds", "1.5", "--notes", "0.5:0:48:110:0.5"});
    EXPECT_SUCCESS(r);
    const WavReader read(wav);
    ASSERT_TRUE(read.Ok()) << read.Error();
    EXPECT_EQ(read.Frames(), 72000);
    EXPECT_LT(read.Peak(0, 0, 24000), 1e-4f);      // before the note
    EXPECT_GT(read.Peak(0, 24000, 48000), 0.01f);  // while it plays
}

TEST(HostMarlet, InfoReportsWhatThePluginSays)
{
    const auto r = Host({"info", testplugins::kMarlet});
    EXPECT_SUCCESS(r);
    auto f = Fields(r.out);
    EXPECT_EQ(f["name"], "Marlet");
    EXPECT_EQ(f["vendor"], "Orvana");
    EXPECT_EQ(f["product"], "Marlet 1.3.0.3");
    EXPECT_EQ(f["vendor version"], "66053");
    EXPECT_EQ(f["unique ID"], "KyGm");
    EXPECT_EQ(f["VST version"], "2400");
    EXPECT_EQ(f["category"], "2");
    EXPECT_EQ(f["inputs"], "0");
    EXPECT_EQ(f["outputs"], "32");
    EXPECT_THAT(f["output 0"], HasSubstr("Out 1|2"));
    EXPECT_EQ(f.count("output 31"), 1u);
    EXPECT_EQ(f["flags"], "0x131");
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "LiveWithoutToolbar"})
        EXPECT_EQ(f[std::string("canDo ") + yes], "1") << yes;
    for (const char* no : {"sendVstEvents", "offline", "bypass"})
        EXPECT_EQ(f[std::string("canDo ") + no], "-1") << no;
}

TEST(HostMarlet, RendersSilenceOnAllOutputsWithoutAnInstrument)
{
    TempFolder folder;
    const std::string wav = folder.File("marlet.wav");
    auto r = Host({"render", testplugins::kMarlet, "--out", wav, "--seconds", "0.5", "--notes",
                   "0:0:60:100:0.25", "--save-chunk", folder.File("state.bin")});
    EXPECT_SUCCESS(r);
    const WavReader read(wav);
    ASSERT_TRUE(read.Ok()) << read.Error();
    EXPECT_EQ(read.Frames(), 22050);
    ASSERT_EQ(read.Channels(), 32);
    for (int c = 0; c < 32; ++c) EXPECT_EQ(read.Peak(c), 0.0f) << "channel " << c;

    // The state it saved is accepted back.
    r = Host({"render", testplugins::kMarlet, "--out", wav, "--seconds", "0.1", "--bus", "15",
              "--chunk", folder.File("state.bin")});
    EXPECT_SUCCESS(r);
    EXPECT_EQ(WavReader(wav).Channels(), 2);
}

}  // namespace
