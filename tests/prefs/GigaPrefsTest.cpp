#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "fixtures/TempFolder.h"
#include "platform/Platform.h"
#include "prefs/GigaPrefs.h"
#include "prefs/PrefStore.h"

namespace {

constexpr platform::MemoryStatus kMachine {8ull << 30, 6ull << 30};

std::string StorePath()
{
    return platform::UserConfigFolder() + "/marlet/prefs";
}

template <typename T>
std::array<std::byte, 4> BytesOf(T value, bool reversed = false)
{
    auto bytes = std::bit_cast<std::array<std::byte, 4>>(value);
    if (reversed) std::swap(bytes[0], bytes[3]), std::swap(bytes[1], bytes[2]);
    return bytes;
}

void StoreValues(float lmin, float lmax, std::int32_t cvol, bool reversed = false)
{
    PrefStore store;
    store.Set("lmin", PrefStore::Type::Binary, BytesOf(lmin, reversed));
    store.Set("lmax", PrefStore::Type::Binary, BytesOf(lmax, reversed));
    store.Set("cvol", PrefStore::Type::Binary, BytesOf(cvol, reversed));
    ASSERT_TRUE(store.Save(StorePath()));
}

void WriteStoreText(const std::string& text)
{
    ASSERT_TRUE(platform::CreateFolder(platform::UserConfigFolder() + "/marlet"));
    ASSERT_TRUE(testsupport::WriteFileBytes(StorePath(), text.data(), text.size()));
}

struct Loaded {
    float lmin, lmax;
    std::int32_t cvol;
    bool result;
};

Loaded LoadPrefs()
{
    GigaPrefs prefs(kMachine);
    bool result = prefs.Load(GigaPrefs::kKeyName);
    return {prefs.PreloadMinimum(), prefs.PreloadTolerance(), prefs.VolumeController(), result};
}

TEST(GigaPrefsTest, FirstRunUsesDefaultsAndSavingCreatesTheStore)
{
    testsupport::IsolatedHome home;
    {
        GigaPrefs prefs(kMachine);
        EXPECT_FALSE(prefs.Load("marlet"));
        EXPECT_FALSE(prefs.Loaded());
        EXPECT_EQ(prefs.RegistryPath(), "SOFTWARE\\marlet");
        EXPECT_EQ(prefs.PreloadMinimum(), 1.0f);
        EXPECT_EQ(prefs.PreloadTolerance(), 3.0f);
        EXPECT_EQ(prefs.VolumeController(), 7);
        prefs.SetPreloadMinimum(0.5f);
        prefs.SetVolumeController(11);
    }  // saved when it goes
    EXPECT_EQ(testsupport::ListFolder(home.Folder().File("config/marlet")),
              std::vector<std::string> {"prefs"});  // no temporary file left behind
    Loaded again = LoadPrefs();
    EXPECT_TRUE(again.result);
    EXPECT_EQ(again.lmin, 0.5f);
    EXPECT_EQ(again.lmax, 3.0f);
    EXPECT_EQ(again.cvol, 11);
}

TEST(GigaPrefsTest, NothingIsSavedWhenLoadNeverRan)
{
    testsupport::IsolatedHome home;
    {
        GigaPrefs prefs(kMachine);
    }
    EXPECT_FALSE(platform::FileExists(StorePath()));
}

TEST(GigaPrefsTest, LoadedValuesAreClamped)
{
    testsupport::IsolatedHome home;
    StoreValues(0.1f, 5.0f, 7);
    Loaded low = LoadPrefs();
    EXPECT_EQ(low.lmin, 0.2f);
    EXPECT_EQ(low.lmax, 4.0f);

    StoreValues(3.5f, 2.0f, 11);
    Loaded crossed = LoadPrefs();
    EXPECT_EQ(crossed.lmin, 3.5f);
    EXPECT_EQ(crossed.lmax, 3.5f);
    EXPECT_EQ(crossed.cvol, 11);

    StoreValues(std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 7);
    Loaded notNumbers = LoadPrefs();
    EXPECT_EQ(notNumbers.lmin, 1.0f);
    EXPECT_EQ(notNumbers.lmax, 3.0f);
}

TEST(GigaPrefsTest, ValuesInTheOtherByteOrderAreRepaired)
{
    testsupport::IsolatedHome home;
    StoreValues(2.0f, 3.5f, 11, true);  // cvol stored as 00 00 00 0B
    Loaded swapped = LoadPrefs();
    EXPECT_EQ(swapped.cvol, 11);
    EXPECT_EQ(swapped.lmin, 2.0f);
    EXPECT_EQ(swapped.lmax, 3.5f);

    // A controller that no byte order explains: the default, floats left as they were.
    StoreValues(2.0f, 3.5f, 12345);
    Loaded damaged = LoadPrefs();
    EXPECT_EQ(damaged.cvol, 7);
    EXPECT_EQ(damaged.lmin, 2.0f);
    EXPECT_EQ(damaged.lmax, 3.5f);
}

TEST(GigaPrefsTest, DamagedStoreGivesDefaultsForWhatCannotBeRead)
{
    testsupport::IsolatedHome home;
    // Good lmax; lmin of the wrong size; cvol with bad hex; junk lines.
    WriteStoreText(
        "marlet-prefs 1\n"
        "binary lmin 0000\n"
        "binary lmax 00000040\n"
        "binary cvol 0b0000zz\n"
        "nonsense\n"
        "text lmin 00\n"
        "\n");
    Loaded partial = LoadPrefs();
    EXPECT_TRUE(partial.result);
    EXPECT_EQ(partial.lmin, 1.0f);
    EXPECT_EQ(partial.lmax, 2.0f);
    EXPECT_EQ(partial.cvol, 7);

    for (const std::string& junk :
         {std::string("not a store\nbinary lmin 0000803f\n"), std::string("\0\xff\x01\x02", 4),
          std::string(), std::string(2 << 20, 'x')}) {
        WriteStoreText(junk);
        Loaded defaults = LoadPrefs();
        EXPECT_EQ(defaults.lmin, 1.0f);
        EXPECT_EQ(defaults.lmax, 3.0f);
        EXPECT_EQ(defaults.cvol, 7);
    }
    // The store's place taken by a folder: first-run defaults, and saving fails cleanly.
    platform::RemoveFile(StorePath());
    ASSERT_TRUE(platform::CreateFolder(StorePath()));
    GigaPrefs prefs(kMachine);
    prefs.Load("marlet");
    EXPECT_EQ(prefs.PreloadMinimum(), 1.0f);
    EXPECT_FALSE(prefs.Save());
}

// A text value and a value of another program version survive a round trip byte for byte.
class TextPrefs : public QelPrefs {
public:
    ~TextPrefs() override { SaveAtClose(); }
    std::string name = "default";

protected:
    void DeclareValues() override { Declare("name", name); }
};

TEST(QelPrefsTest, TextValuesAndForeignValuesRoundTrip)
{
    testsupport::IsolatedHome home;
    PrefStore store;
    const std::array<std::byte, 3> foreign {std::byte {0}, std::byte {0xFF}, std::byte {' '}};
    store.Set("other", PrefStore::Type::Binary, foreign);
    std::string longText(600, 'q');
    longText += '\0';
    store.Set("name", PrefStore::Type::Text, std::as_bytes(std::span(longText)));
    ASSERT_TRUE(store.Save(StorePath()));
    {
        TextPrefs prefs;
        ASSERT_TRUE(prefs.Load("marlet"));
        EXPECT_EQ(prefs.name, std::string(QelPrefs::kMaxText, 'q'));
        prefs.name = "caf\xc3\xa9 \t x";
    }
    PrefStore after;
    ASSERT_EQ(after.Load(StorePath()), PrefStore::LoadResult::Loaded);
    const PrefStore::Value* other = after.Find("other");
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(
        std::equal(other->bytes.begin(), other->bytes.end(), foreign.begin(), foreign.end()));
    const PrefStore::Value* name = after.Find("name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->type, PrefStore::Type::Text);
    const std::string expected("caf\xc3\xa9 \t x\0", 10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name->bytes.data()), name->bytes.size()),
              expected);
}

TEST(QelPrefsTest, InvalidKeyNamesAreRefused)
{
    testsupport::IsolatedHome home;
    for (const char* key : {"", "..", "a/b", "with space"}) {
        GigaPrefs prefs(kMachine);
        EXPECT_FALSE(prefs.Load(key)) << key;
        EXPECT_TRUE(prefs.RegistryPath().empty());
    }
}

TEST(GigaPrefsTest, MemoryFiguresAndBudget)
{
    GigaPrefs big(kMachine);
    EXPECT_EQ(big.TotalMemoryMb(), 8192);
    EXPECT_EQ(big.AvailableMemoryMb(), 2048);  // capped

    GigaPrefs small({1ull << 30, 100ull << 20});
    EXPECT_EQ(small.TotalMemoryMb(), 1024);
    EXPECT_EQ(small.AvailableMemoryMb(), 100);
    EXPECT_TRUE(small.ReserveMemory(60));
    EXPECT_FALSE(small.ReserveMemory(41));  // refused: nothing changes
    EXPECT_EQ(small.ReservedMemoryMb(), 60);
    EXPECT_TRUE(small.ReserveMemory(40));
    small.ReleaseMemory(100);
    EXPECT_EQ(small.ReservedMemoryMb(), 0);
    small.ReleaseMemory(5);  // more than reserved: stays at 0
    EXPECT_EQ(small.ReservedMemoryMb(), 0);
    EXPECT_FALSE(small.ReserveMemory(-1));

    GigaPrefs machine;  // from this machine
    EXPECT_GT(machine.TotalMemoryMb(), 0);
    EXPECT_GT(machine.AvailableMemoryMb(), 0);
    EXPECT_LE(machine.AvailableMemoryMb(), 2048);
}

}  // namespace
