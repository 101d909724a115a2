// Only files on disk are files to the program, and opening never waits for another party: a
// named pipe (where a plain open waits for a writer or reader for ever), a folder and a device
// are refused at once by every way the program opens files, except that a C stream (a log) may
// go to a device such as /dev/null.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "fixtures/TempFolder.h"
#include "platform/Platform.h"
#include "riff/CImpRiff.h"
#include "tests/support/HeldReads.h"

namespace {

struct Opener {
    const char* name;
    std::function<bool(const std::string&)> opens;
    bool takesDevices;
};

void PrintTo(const Opener& opener, std::ostream* out)
{
    *out << opener.name;
}

bool Took(platform::FileHandle file)
{
    platform::CloseFile(file);
    return file != platform::kNoFile;
}

bool Took(std::FILE* stream)
{
    if (stream) std::fclose(stream);
    return stream != nullptr;
}

const Opener kOpeners[] = {
    {"OpenFileRead", [](auto& p) { return Took(platform::OpenFileRead(p)); }, false},
    {"OpenFileUpdate", [](auto& p) { return Took(platform::OpenFileUpdate(p)); }, false},
    {"CreateFileWrite", [](auto& p) { return Took(platform::CreateFileWrite(p)); }, false},
    {"ReadWholeFile",
     [](auto& p) {
         std::vector<std::byte> bytes;
         return platform::ReadWholeFile(p, bytes, 1 << 20);
     },
     false},
    {"RiffReader", [](auto& p) { return CImpRiff().OpenRiff(p); }, false},
    {"ReadStream", [](auto& p) { return Took(platform::OpenStream(p, "rb")); }, true},
    {"LogStream", [](auto& p) { return Took(platform::OpenStream(p, "ab")); }, true},
};

class NonRegularFiles : public ::testing::TestWithParam<Opener> {
protected:
    testsupport::TempFolder folder;
};

TEST_P(NonRegularFiles, AreRefusedAtOnce)
{
    const Opener& opener = GetParam();
    testsupport::Pipe pipe(folder.File("x.gig"));
    bool tookPipe = true;
    EXPECT_TRUE(testsupport::ReturnsWithin(
        opener.name, [&] { tookPipe = opener.opens(pipe.Path()); }, [&] { pipe.Unblock(); }))
        << "waited on the pipe";
    EXPECT_FALSE(tookPipe);
    EXPECT_FALSE(opener.opens(folder.Path()));
    EXPECT_EQ(opener.opens("/dev/null"), opener.takesDevices);

    // A file on disk: a RIFF one, for the reader that wants one.
    const std::string file = folder.File("plain.gig");
    const char riff[] = "RIFF\4\0\0\0gigx";
    ASSERT_TRUE(testsupport::WriteFileBytes(file, riff, sizeof riff - 1));
    EXPECT_TRUE(opener.opens(file));
}

INSTANTIATE_TEST_SUITE_P(EveryOpener, NonRegularFiles, ::testing::ValuesIn(kOpeners),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
