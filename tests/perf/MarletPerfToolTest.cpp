// The built marlet-perf tool, run as a user would.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "tests/host/ProcessRunner.h"

namespace {

testsupport::ProcessResult Perf(const std::vector<std::string>& args)
{
    return testsupport::ProcessRunner::Run(MARLET_PERF_PATH, args);
}

TEST(MarletPerf, MakesEditsAndShowsAPerformance)
{
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    const std::string file = folder.File("rack.mrp");
    // In the system's own spelling: performances keep bank paths with its separators.
    const std::string gig = std::filesystem::path(folder.File("two.gig")).make_preferred().string();
    testsupport::GigFilePlan plan;
    plan.instruments.push_back(plan.instruments[0]);
    plan.instruments[0].name = "Grand";
    plan.instruments[1].name = "Upright";
    testsupport::GigWriter(plan).Write(gig);

    ASSERT_EQ(Perf({"new", file}).exitCode, 0);
    EXPECT_EQ(testsupport::ReadFileBytes(file).size(), 1752u);
    ASSERT_EQ(Perf({"set", file, "--tone", "3", "--gig", gig, "--program", "1", "--bus", "5",
                    "--volume", "100", "--pan", "10", "--tune", "-20", "--channel", "9"})
                  .exitCode,
              0);
    ASSERT_EQ(Perf({"add-layer", file, "--tone", "3", "--gig", gig, "--program", "0", "--keys",
                    "40-70", "--offset", "-12"})
                  .exitCode,
              0);
    ASSERT_EQ(
        Perf({"select", file, "--tone", "3", "--mode", "key-switch", "--ks-low", "24"}).exitCode,
        0);
    // Replacing the instrument leaves one layer.
    ASSERT_EQ(Perf({"set", file, "--tone", "4", "--gig", gig, "--program", "0"}).exitCode, 0);
    ASSERT_EQ(Perf({"set", file, "--tone", "4", "--gig", gig, "--program", "1"}).exitCode, 0);

    const auto shown = Perf({"show", file});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find("tone 3: channel 9, bus 5, volume 100, pan 10, tune -20, select "
                             "key-switch (133), ks-low 24, layers 2"),
              std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("  layer 0: program 1 of " + gig), std::string::npos);
    EXPECT_NE(shown.out.find("  layer 1: program 0 of " + gig + ", keys 40-70, offset -12"),
              std::string::npos);
    EXPECT_NE(shown.out.find("tone 4: channel 4, bus 0, volume 90, pan 64, tune 0, select none "
                             "(0), ks-low 0, layers 1\n  layer 0: program 1 of"),
              std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("tone 15:"), std::string::npos);

    const auto programs = Perf({"programs", gig});
    EXPECT_EQ(programs.exitCode, 0);
    EXPECT_EQ(programs.out, "0: Grand\n1: Upright\n");
}

TEST(MarletPerf, BadArgumentsAndFilesAreRefused)
{
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    const std::string file = folder.File("rack.mrp");
    ASSERT_EQ(Perf({"new", file}).exitCode, 0);
    EXPECT_EQ(Perf({}).exitCode, 2);
    EXPECT_EQ(Perf({"frobnicate", file}).exitCode, 2);
    EXPECT_EQ(Perf({"set", file, "--tone", "16"}).exitCode, 2);
    EXPECT_EQ(Perf({"set", file, "--tone", "1", "--volume"}).exitCode, 2);
    EXPECT_EQ(Perf({"set", file, "--tone", "1", "--gig", "/x.gig"}).exitCode, 2);
    EXPECT_EQ(Perf({"select", file, "--tone", "1", "--mode", "loudest"}).exitCode, 2);
    EXPECT_EQ(Perf({"add-layer", file, "--tone", "1", "--gig", "/x.gig", "--program", "0", "--keys",
                    "70-40"})
                  .exitCode,
              2);
    EXPECT_EQ(
        Perf({"set", file, "--tone", "1", "--gig", "/" + std::string(600, 'x'), "--program", "0"})
            .exitCode,
        2);
    EXPECT_EQ(Perf({"show", folder.File("absent.mrp")}).exitCode, 1);
    EXPECT_EQ(Perf({"programs", file}).exitCode, 1) << "a performance is not a .gig";
    EXPECT_EQ(testsupport::ReadFileBytes(file).size(), 1752u) << "failures wrote nothing";
}

}  // namespace
