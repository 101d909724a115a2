// Paths are UTF-8 inside the program on every system; Windows turns them into wide-character
// paths, so a name outside ASCII must come back as the same bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fixtures/TempFolder.h"
#include "platform/Platform.h"

namespace {

TEST(Utf8Paths, FoldersAndFilesKeepTheirNames)
{
    testsupport::TempFolder temp;
    const std::string name = "B\xc3\xb6hm \xe2\x99\xaa";  // "Böhm ♪"
    const std::string folder = platform::JoinPath(platform::JoinPath(temp.Path(), name), name);
    ASSERT_TRUE(platform::CreateFolder(folder));
    EXPECT_TRUE(platform::FolderExists(folder));

    const std::string file = platform::JoinPath(folder, name + ".mrp");
    const std::vector<std::byte> bytes {std::byte {'R'}, std::byte {0}, std::byte {0xFF}};
    ASSERT_TRUE(platform::ReplaceFileContents(file, bytes));
    EXPECT_TRUE(platform::FileExists(file));
    std::vector<std::byte> read;
    ASSERT_TRUE(platform::ReadWholeFile(file, read, 16));
    EXPECT_EQ(read, bytes);

    const std::vector<platform::FolderEntry> entries = platform::ListFolder(folder, 10);
    ASSERT_EQ(entries.size(), 1u);  // no temporary file left beside it
    EXPECT_EQ(entries[0].name, name + ".mrp");
    EXPECT_FALSE(entries[0].folder);

    std::FILE* stream = platform::OpenStream(file, "ab");
    ASSERT_NE(stream, nullptr);
    EXPECT_GE(std::fputs("x", stream), 0);
    std::fclose(stream);
    ASSERT_TRUE(platform::ReadWholeFile(file, read, 16));
    EXPECT_EQ(read.size(), 4u);

    EXPECT_TRUE(platform::RemoveFile(file));
    EXPECT_FALSE(platform::FileExists(file));
    EXPECT_TRUE(platform::FileExists(platform::ModulePath()));
}

// Absolute paths and their folders, as the file dialogs' answers are split.
TEST(PlatformPaths, AbsolutePathsSplitIntoFolderAndName)
{
    const testsupport::TempFolder temp;
    EXPECT_TRUE(platform::IsAbsolutePath(temp.Path()));
    EXPECT_FALSE(platform::IsAbsolutePath("a/b.gig"));
    EXPECT_FALSE(platform::IsAbsolutePath(""));
    EXPECT_EQ(platform::FolderOf("b.gig"), "");
    if (platform::kPathSeparator == '/') {
        EXPECT_EQ(platform::FolderOf("/a/b.gig"), "/a");
        EXPECT_EQ(platform::FolderOf("/b.gig"), "/");
        EXPECT_FALSE(platform::IsAbsolutePath("C:\\a"));
    } else {
        EXPECT_TRUE(platform::IsAbsolutePath("C:\\a\\b.gig"));
        EXPECT_TRUE(platform::IsAbsolutePath("d:/a"));
        EXPECT_TRUE(platform::IsAbsolutePath("\\\\server\\share\\b.gig"));
        EXPECT_FALSE(platform::IsAbsolutePath("C:b.gig"));
        EXPECT_FALSE(platform::IsAbsolutePath("\\a"));
        EXPECT_EQ(platform::FolderOf("C:\\a\\b.gig"), "C:\\a");
        EXPECT_EQ(platform::FolderOf("C:\\b.gig"), "C:\\");
        EXPECT_EQ(platform::FolderOf("C:/a/b.gig"), "C:/a");
    }
}

}  // namespace
