// Every Windows test process keeps its registry values to itself: HKEY_CURRENT_USER is mapped
// to a key of the process's own for as long as it runs. Tests that store preferences (as the
// plug-in does, below HKCU\SOFTWARE\marlet) then neither see nor leave the values of other test
// processes, which Wine runs against one shared registry.
#include <windows.h>

#include <string>

namespace {

class PrivateUserKey {
public:
    PrivateUserKey() : path_(L"Software\\marlet-tests\\" + std::to_wstring(GetCurrentProcessId()))
    {
        // What an earlier process of the same id may have left.
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        overridden_ = RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~PrivateUserKey()
    {
        if (!overridden_) return;
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    PrivateUserKey(const PrivateUserKey&) = delete;
    PrivateUserKey& operator=(const PrivateUserKey&) = delete;

private:
    std::wstring path_;
    bool overridden_ = false;
};

const PrivateUserKey privateUserKey;

}  // namespace
