#include "tools/marlet-host/CommandLine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::HasSubstr;

Command Parse(std::initializer_list<std::string_view> args)
{
    const std::vector<std::string_view> list(args);
    return CommandLine::Parse(list);
}

std::string ErrorOf(std::initializer_list<std::string_view> args)
{
    try {
        Parse(args);
    } catch (const CommandLine::UsageError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(HostCommandLineParse, RenderWithEveryOption)
{
    const auto s = std::get<RenderJob::Settings>(
        Parse({"render", "--rate=8000", "p.so", "--out", "a.wav", "--notes", "0:0:60:100:1",
               "--block", "1", "--seconds", "2.5", "--tail=0", "--chunk", "in.bin", "--save-chunk",
               "out.bin", "--bus", "3"}));
    EXPECT_EQ(s.sampleRate, 8000);
    EXPECT_EQ(s.blockSize, 1);
    EXPECT_EQ(*s.seconds, 2.5);
    EXPECT_EQ(s.tail, 0.0);
    EXPECT_EQ(*s.loadChunk, "in.bin");
    EXPECT_EQ(*s.saveChunk, "out.bin");
    EXPECT_EQ(*s.bus, 3);
    ASSERT_TRUE(s.notes);
    EXPECT_EQ(s.notes->Events().size(), 2u);

    const auto midi =
        std::get<RenderJob::Settings>(Parse({"render", "p.so", "--out=a.wav", "--midi", "x.mid"}));
    EXPECT_EQ(*midi.midiFile, "x.mid");
}

TEST(HostCommandLineParse, InfoCollectsCanDoQuestions)
{
    const auto info = std::get<InfoCommand>(Parse({"info", "--can-do", "a", "p.so", "--can-do=b"}));
    EXPECT_EQ(info.plugin, "p.so");
    EXPECT_EQ(info.canDo, (std::vector<std::string> {"a", "b"}));
}

TEST(HostCommandLineParse, HelpWinsAnywhere)
{
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(Parse({"--help"})));
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(Parse({"render", "--rate", "1", "-h"})));
}

TEST(HostCommandLineParse, RefusesBadCommandLines)
{
    EXPECT_THAT(ErrorOf({}), HasSubstr("no command"));
    EXPECT_THAT(ErrorOf({"play", "p.so"}), HasSubstr("unknown command"));
    EXPECT_THAT(ErrorOf({"info"}), HasSubstr("plug-in"));
    EXPECT_THAT(ErrorOf({"info", "a.so", "b.so"}), HasSubstr("unexpected argument \"b.so\""));
    EXPECT_THAT(ErrorOf({"render", "p.so"}), HasSubstr("--out"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out"}), HasSubstr("--out needs a value"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--loud"}),
                HasSubstr("unknown option --loud"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--out", "b"}), HasSubstr("twice"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--midi", "m", "--notes", "0:0:1:1:1"}),
                HasSubstr("together"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--notes", "0:16:1:1:1"}),
                HasSubstr("--notes: note 1"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--rate", "7999"}), HasSubstr("--rate"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--rate", "44100.5"}),
                HasSubstr("--rate"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--block", "0"}), HasSubstr("--block"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--seconds", "0"}),
                HasSubstr("--seconds"));
    EXPECT_THAT(ErrorOf({"render", "p.so", "--out", "a", "--tail", "-1"}), HasSubstr("--tail"));
}

}  // namespace
