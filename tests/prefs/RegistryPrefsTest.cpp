// Windows keeps the preferences in the registry: each value with its type and exact bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "prefs/GigaPrefs.h"
#include "prefs/PrefStore.h"

namespace {

constexpr platform::MemoryStatus kMachine {8ull << 30, 6ull << 30};

// A key of the test's own below HKCU\SOFTWARE, gone afterwards.
class RegistryRig : public ::testing::Test {
protected:
    const std::string name = "marlet-test-" + std::to_string(GetCurrentProcessId());
    const std::string key = "SOFTWARE\\" + name;
    const std::wstring wideKey = L"SOFTWARE\\" + std::wstring(name.begin(), name.end());

    ~RegistryRig() override { RegDeleteTreeW(HKEY_CURRENT_USER, wideKey.c_str()); }

    // The raw value as the registry holds it.
    std::pair<DWORD, std::string> Raw(const wchar_t* value) const
    {
        DWORD type = 0;
        std::string bytes(256, '\0');
        DWORD size = static_cast<DWORD>(bytes.size());
        if (RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), value, RRF_RT_ANY | RRF_NOEXPAND,
                         &type, bytes.data(), &size) != ERROR_SUCCESS)
            return {REG_NONE, {}};
        bytes.resize(size);
        return {type, bytes};
    }
};

TEST_F(RegistryRig, ValuesKeepTheirTypesAndBytesAndOthersAreSkipped)
{
    const std::array<std::byte, 3> binary {std::byte {0}, std::byte {0xFF}, std::byte {' '}};
    const std::string text("caf\xc3\xa9 x\0", 8);
    PrefStore store;
    store.Set("bin", PrefStore::Type::Binary, binary);
    store.Set("name", PrefStore::Type::Text, std::as_bytes(std::span(text)));
    ASSERT_TRUE(store.SaveKey(key));

    EXPECT_EQ(Raw(L"bin"), std::make_pair(DWORD {REG_BINARY}, std::string("\0\xff ", 3)));
    const std::wstring wide(L"caf\u00e9 x\0", 7);
    EXPECT_EQ(Raw(L"name"),
              std::make_pair(DWORD {REG_SZ}, std::string(reinterpret_cast<const char*>(wide.data()),
                                                         wide.size() * sizeof(wchar_t))));

    // A value of a type the store does not keep spoils nothing else.
    const DWORD number = 7;
    RegSetKeyValueW(HKEY_CURRENT_USER, wideKey.c_str(), L"dword", REG_DWORD, &number,
                    sizeof number);
    PrefStore read;
    EXPECT_EQ(read.LoadKey(key), PrefStore::LoadResult::Damaged);
    ASSERT_EQ(read.Values().size(), 2u);
    ASSERT_NE(read.Find("bin"), nullptr);
    EXPECT_EQ(read.Find("bin")->type, PrefStore::Type::Binary);
    EXPECT_TRUE(std::ranges::equal(read.Find("bin")->bytes, binary));
    ASSERT_NE(read.Find("name"), nullptr);
    EXPECT_EQ(read.Find("name")->type, PrefStore::Type::Text);
    EXPECT_TRUE(std::ranges::equal(read.Find("name")->bytes, std::as_bytes(std::span(text))));
}

TEST_F(RegistryRig, PreferencesLiveUnderTheUsersSoftwareKey)
{
    {
        GigaPrefs prefs(kMachine);
        EXPECT_FALSE(prefs.Load(name));  // first run
        EXPECT_EQ(prefs.RegistryPath(), key);
        prefs.SetPreloadMinimum(0.5f);
        prefs.SetVolumeController(11);
    }  // saved when it goes
    EXPECT_EQ(Raw(L"cvol"), std::make_pair(DWORD {REG_BINARY}, std::string("\x0b\0\0\0", 4)));
    GigaPrefs again(kMachine);
    EXPECT_TRUE(again.Load(name));
    EXPECT_EQ(again.PreloadMinimum(), 0.5f);
    EXPECT_EQ(again.VolumeController(), 11);
}

}  // namespace
