#include "platform/UserKey.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/WideText.h"

namespace platform {

namespace {

class Key {
public:
    explicit Key(HKEY key = nullptr) : key_(key) {}
    ~Key()
    {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_;
};

// REG_SZ holds UTF-16 with its terminating zero; the program's text is UTF-8 with its own.
std::vector<std::byte> TextFromRegistry(const std::vector<BYTE>& data)
{
    std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
    const bool terminated = !wide.empty() && wide.back() == L'\0';
    if (terminated) wide.pop_back();
    const std::string text = Narrow(wide);
    std::vector<std::byte> bytes(text.size() + (terminated ? 1 : 0));
    std::memcpy(bytes.data(), text.data(), text.size());
    return bytes;
}

std::vector<BYTE> TextToRegistry(const std::vector<std::byte>& bytes)
{
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const bool terminated = !text.empty() && text.back() == '\0';
    if (terminated) text.remove_suffix(1);
    std::wstring wide = Widen(text);
    if (terminated) wide.push_back(L'\0');
    std::vector<BYTE> data(wide.size() * sizeof(wchar_t));
    std::memcpy(data.data(), wide.data(), data.size());
    return data;
}

}  // namespace

KeyRead ReadUserKey(const std::string& key, std::vector<KeyValue>& values, std::size_t maxBytes)
{
    values.clear();
    Key opened;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, KEY_READ, opened.Out()) !=
        ERROR_SUCCESS)
        return KeyRead::Missing;
    bool damaged = false;
    // Registry value names are at most 16383 characters.
    std::wstring name(16384, L'\0');
    std::vector<BYTE> data;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status = RegEnumValueW(opened.Get(), index, name.data(), &nameLength, nullptr,
                                       &type, nullptr, &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS || (type != REG_BINARY && type != REG_SZ) || size > maxBytes) {
            damaged = true;
            continue;
        }
        const std::wstring valueName(name.data(), nameLength);
        data.resize(size);
        status =
            RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS || size > data.size()) {
            damaged = true;
            continue;
        }
        data.resize(size);
        KeyValue& value = values.emplace_back();
        value.name = Narrow(valueName);
        value.text = type == REG_SZ;
        if (value.text) {
            value.bytes = TextFromRegistry(data);
        } else {
            value.bytes.resize(data.size());
            std::memcpy(value.bytes.data(), data.data(), data.size());
        }
    }
    return damaged ? KeyRead::Damaged : KeyRead::Read;
}

bool WriteUserKey(const std::string& key, const std::vector<KeyValue>& values)
{
    Key created;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        created.Out(), nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (const KeyValue& value : values) {
        std::vector<BYTE> data;
        if (value.text) {
            data = TextToRegistry(value.bytes);
        } else {
            data.resize(value.bytes.size());
            std::memcpy(data.data(), value.bytes.data(), data.size());
        }
        ok = RegSetValueExW(created.Get(), Widen(value.name).c_str(), 0,
                            value.text ? REG_SZ : REG_BINARY, data.data(),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS &&
             ok;
    }
    return ok;
}

}  // namespace platform
