#include <gtest/gtest.h>

#include "fixtures/TempFolder.h"
#include "platform/Platform.h"
#include "riff/UDir.h"

namespace {

TEST(UDirTest, EntersCreatesAndComposesPaths)
{
    testsupport::IsolatedHome home;
    UDir dir(UDir::kCommonAppData);
    ASSERT_TRUE(dir.Valid());
    const std::string base = home.Data() + "/";
    EXPECT_EQ(dir.Path(), base);

    EXPECT_FALSE(dir.Enter("Orvana"));  // does not exist yet: path unchanged
    EXPECT_EQ(dir.Path(), base);
    ASSERT_TRUE(dir.EnterOrCreate("Orvana"));
    EXPECT_TRUE(platform::FolderExists(base + "Orvana"));
    EXPECT_EQ(dir.FilePath("marlet", "fav"), base + "Orvana/marlet.fav");
    EXPECT_EQ(dir.FilePath("marlet", ".fav"), base + "Orvana/marlet.fav");
    EXPECT_EQ(dir.FilePath("readme"), base + "Orvana/readme");
    dir.Up();
    EXPECT_EQ(dir.Path(), base);
    EXPECT_TRUE(dir.Enter("Orvana"));

    UDir desktop(UDir::kDesktop);
    EXPECT_EQ(desktop.FilePath("marlet", "log"), home.Desktop() + "/marlet.log");
    UDir module(UDir::kModuleFolder);
    EXPECT_TRUE(module.Valid());
    EXPECT_EQ(module.Path().back(), '/');
}

}  // namespace
