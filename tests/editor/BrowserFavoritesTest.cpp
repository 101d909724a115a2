// The favourites store: what it reads from damaged or foreign files, what it writes, and that a
// failed write neither passes for success nor harms the file already there.
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/TreeFile.h"
#include "fixtures/TempFolder.h"
#include "platform/Platform.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Word(Bytes& out, std::uint32_t v, bool bigEndian = false)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * (bigEndian ? 3 - i : i))));
}

Bytes FileOf(const std::vector<std::string>& paths, bool bigEndian = false,
             std::uint32_t count = UINT32_MAX)
{
    Bytes out;
    Word(out, count == UINT32_MAX ? static_cast<std::uint32_t>(paths.size()) : count, bigEndian);
    for (const std::string& p : paths) {
        Word(out, static_cast<std::uint32_t>(p.size()), bigEndian);
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

class editorFavorites : public ::testing::Test {
protected:
    std::vector<std::string> LoadBytes(const Bytes& bytes, bool* whole = nullptr)
    {
        testsupport::WriteFileBytes(path_, bytes.data(), bytes.size());
        TreeFile favorites(path_);
        const bool ok = favorites.Load();
        if (whole) *whole = ok;
        EXPECT_FALSE(favorites.IsModified());
        std::vector<std::string> out;
        for (int i = 0; i < favorites.Count(); ++i) out.push_back(favorites.PathAt(i));
        return out;
    }

    testsupport::IsolatedHome home_;
    std::string path_ = home_.Folder().File("marlet.fav");
};

struct DamagedCase {
    const char* name;
    Bytes bytes;
    std::vector<std::string> kept;
};

class FavoritesDamaged : public editorFavorites,
                         public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(FavoritesDamaged, KeepsWhatCameBeforeTheDamage)
{
    bool whole = true;
    EXPECT_EQ(LoadBytes(GetParam().bytes, &whole), GetParam().kept);
    EXPECT_FALSE(whole);
}

Bytes Cut(Bytes b, std::size_t n)
{
    b.resize(b.size() - n);
    return b;
}

std::vector<std::string> Many(int n)
{
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back("/samples/f" + std::to_string(i));
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    editor, FavoritesDamaged,
    ::testing::Values(
        DamagedCase {"CountCutShort", {2, 0}, {}},
        DamagedCase {"PathCutShort", Cut(FileOf({"/a", "/samples/pianos"}), 3), {"/a"}},
        DamagedCase {"LengthCutShort", Cut(FileOf({"/a", "/b"}), 4), {"/a"}},
        DamagedCase {"LengthPastTheEnd", FileOf({"/a"}, false, 2), {"/a"}},
        DamagedCase {"HugeLength",
                     [] {
                         Bytes b;
                         Word(b, 1);
                         Word(b, 0xFFFFFFF0u);
                         return b;
                     }(),
                     {}},
        DamagedCase {"PathOverTheCurrentPath",
                     FileOf({"/a", "/" + std::string(399, 'x'), "/c"}),
                     {"/a", "/c"}},
        DamagedCase {"EmptyAndNulPaths", FileOf({"", std::string("/a\0b", 4), "/c"}), {"/c"}},
        DamagedCase {"MoreThan64", FileOf(Many(70)), Many(64)},
        DamagedCase {"BigEndianMoreThan64", FileOf(Many(65), true), Many(64)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(editorFavorites, ReadsEitherByteOrder)
{
    const std::vector<std::string> two {"/home/me/Samples", "/media/me/Disk 2/Gig"};
    Bytes big = FileOf(two, true);
    ASSERT_EQ(big[3], 2);  // 00 00 00 02
    EXPECT_EQ(LoadBytes(big), two);
    EXPECT_EQ(LoadBytes(FileOf(two)), two);
    const std::string longest = "/" + std::string(398, 'y');
    EXPECT_EQ(LoadBytes(FileOf({longest})), std::vector<std::string> {longest});
}

TEST_F(editorFavorites, MissingFileIsEmptyAndOversizedFileIsRefused)
{
    TreeFile missing(path_);
    EXPECT_TRUE(missing.Load());
    EXPECT_EQ(missing.Count(), 0);
    bool whole = true;
    EXPECT_TRUE(LoadBytes(Bytes(TreeFile::kMaxFileBytes + 1, 0), &whole).empty());
    EXPECT_FALSE(whole);
}

TEST_F(editorFavorites, RoundTripInTheDataFolderByteForByte)
{
    EXPECT_EQ(TreeFile::DefaultPath(), home_.Data() + "/Orvana/marlet.fav");
    const std::string odd = std::string("/mnt/\xff\xfe") + std::string(255, 'n');
    TreeFile favorites;
    ASSERT_TRUE(favorites.Load());
    for (const std::string& p : {std::string("/home/me/Gig/"), odd, std::string("/")})
        EXPECT_TRUE(favorites.Add(p));
    EXPECT_TRUE(favorites.IsModified());
    ASSERT_TRUE(favorites.Save());
    EXPECT_FALSE(favorites.IsModified());
    const auto bytes = testsupport::ReadFileBytes(TreeFile::DefaultPath());
    const Bytes expected = FileOf({"/home/me/Gig/", odd, "/"});
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expected);
    // Nothing but the file is left in the folder.
    EXPECT_EQ(testsupport::ListFolder(home_.Data() + "/Orvana").size(), 1u);

    TreeFile again;
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.Count(), 3);
    EXPECT_EQ(again.PathAt(1), odd);
    EXPECT_EQ(again.NameOf(0), "Gig");
    EXPECT_EQ(again.NameOf(1), odd.substr(5));
    EXPECT_EQ(again.NameOf(2), "/");
    again.Select(2);
    EXPECT_EQ(again.CurrentPath(), odd);
    EXPECT_TRUE(again.RemoveSelected());
    EXPECT_EQ(again.Selected(), 0);
    EXPECT_EQ(again.CurrentPath(), "");
    EXPECT_EQ(again.PathAt(1), "/");
    again.Select(0);
    EXPECT_FALSE(again.RemoveSelected());  // the computer stays
    EXPECT_EQ(again.Count(), 2);
}

// Windows takes "/" as a separator too.
TEST_F(editorFavorites, NamesAreTheLastPieceOfThePath)
{
    TreeFile favorites(path_);
    for (const char* path : {"/home/me/Gig/", "/media/Disk 2", "/"}) favorites.Add(path);
    EXPECT_EQ(favorites.NameOf(0), "Gig");
    EXPECT_EQ(favorites.NameOf(1), "Disk 2");
    EXPECT_EQ(favorites.NameOf(2), "/");
}

TEST_F(editorFavorites, SixtyFifthFavoriteIsRefused)
{
    TreeFile favorites(path_);
    for (const std::string& p : Many(64)) ASSERT_TRUE(favorites.Add(p));
    EXPECT_FALSE(favorites.Add("/one/too/many"));
    EXPECT_FALSE(favorites.Add("/" + std::string(399, 'z')));
    ASSERT_TRUE(favorites.Save());
    TreeFile again(path_);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Count(), 64);
}

TEST_F(editorFavorites, FailedWriteKeepsTheOldFileAndStaysModified)
{
    const Bytes old = FileOf({"/old"});
    testsupport::WriteFileBytes(path_, old.data(), old.size());
    // The new file cannot be made beside the old one (a folder holds its name).
    ASSERT_TRUE(platform::CreateFolder(path_ + ".new-" + std::to_string(getpid())));

    TreeFile favorites(path_);
    ASSERT_TRUE(favorites.Load());
    favorites.Add("/new");
    EXPECT_FALSE(favorites.Save());
    EXPECT_TRUE(favorites.IsModified());
    const auto bytes = testsupport::ReadFileBytes(path_);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), old);

    // The data folder is a file: no folder for the favourites can be made.
    testsupport::WriteFileBytes(home_.Folder().File("plain"), "x", 1);
    TreeFile nowhere(home_.Folder().File("plain") + "/Orvana/marlet.fav");
    nowhere.Add("/a");
    EXPECT_FALSE(nowhere.Save());
    EXPECT_TRUE(nowhere.IsModified());
}

}  // namespace
