#include "prefs/PrefStore.h"

#include <algorithm>

#include "platform/Platform.h"
#include "platform/UserKey.h"

namespace {

constexpr std::string_view kHeader = "marlet-prefs 1";
constexpr std::string_view kBinary = "binary";
constexpr std::string_view kText = "text";
constexpr std::string_view kHexDigits = "0123456789abcdef";

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool DecodeHex(std::string_view hex, std::vector<std::byte>& out)
{
    if (hex.size() % 2 != 0) return false;
    out.clear();
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int high = HexValue(hex[i]);
        int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        out.push_back(static_cast<std::byte>(high << 4 | low));
    }
    return true;
}

// Splits off the text before the first space.
std::string_view NextField(std::string_view& line)
{
    std::size_t space = line.find(' ');
    std::string_view field = line.substr(0, space);
    line = space == std::string_view::npos ? std::string_view {} : line.substr(space + 1);
    return field;
}

}  // namespace

bool PrefStore::ValidName(std::string_view name)
{
    return !name.empty() && name.size() <= kMaxNameLength &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 127; });
}

const PrefStore::Value* PrefStore::Find(std::string_view name) const
{
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const Value& v) { return v.name == name; });
    return it == values_.end() ? nullptr : &*it;
}

bool PrefStore::Set(std::string_view name, Type type, std::span<const std::byte> bytes)
{
    if (!ValidName(name)) {
        Log("*** PrefStore::Set(%.*s) invalid name ***", static_cast<int>(name.size()),
            name.data());
        return false;
    }
    Value value {std::string(name), type, {bytes.begin(), bytes.end()}};
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const Value& v) { return v.name == name; });
    if (it == values_.end())
        values_.push_back(std::move(value));
    else
        *it = std::move(value);
    return true;
}

bool PrefStore::ParseLine(std::string_view line)
{
    const std::string_view type = NextField(line);
    const std::string_view name = NextField(line);
    Value value;
    if (type == kBinary)
        value.type = Type::Binary;
    else if (type == kText)
        value.type = Type::Text;
    else
        return false;
    if (!ValidName(name) || !DecodeHex(line, value.bytes)) return false;
    return Set(name, value.type, value.bytes);
}

PrefStore::LoadResult PrefStore::Load(const std::string& path)
{
    values_.clear();
    if (!platform::FileExists(path)) return LoadResult::Missing;
    std::vector<std::byte> bytes;
    if (!platform::ReadWholeFile(path, bytes, kMaxStoreBytes)) {
        Log("*** PrefStore::Load(%s) unreadable or too large ***", path.c_str());
        return LoadResult::Damaged;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    bool damaged = false;
    bool header = true;
    while (!text.empty()) {
        std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view {} : text.substr(newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (header) {
            header = false;
            if (line != kHeader) {
                Log("*** PrefStore::Load(%s) not a preference store ***", path.c_str());
                return LoadResult::Damaged;
            }
            continue;
        }
        if (line.empty()) continue;
        if (!ParseLine(line)) damaged = true;
    }
    if (header) damaged = true;  // an empty file
    if (damaged) Log("*** PrefStore::Load(%s) damaged lines skipped ***", path.c_str());
    return damaged ? LoadResult::Damaged : LoadResult::Loaded;
}

bool PrefStore::Save(const std::string& path) const
{
    std::size_t cut = path.find_last_of(platform::kPathSeparator);
    if (cut != std::string::npos && cut > 0 && !platform::CreateFolder(path.substr(0, cut))) {
        Log("*** PrefStore::Save(%s) cannot create the folder ***", path.c_str());
        return false;
    }
    std::string text(kHeader);
    text += '\n';
    for (const Value& value : values_) {
        text += value.type == Type::Binary ? kBinary : kText;
        text += ' ';
        text += value.name;
        text += ' ';
        for (std::byte b : value.bytes) {
            text += kHexDigits[static_cast<unsigned>(b) >> 4];
            text += kHexDigits[static_cast<unsigned>(b) & 15];
        }
        text += '\n';
    }
    if (!platform::ReplaceFileContents(path, std::as_bytes(std::span(text)))) {
        Log("*** PrefStore::Save(%s) failed ***", path.c_str());
        return false;
    }
    return true;
}

PrefStore::LoadResult PrefStore::LoadKey(const std::string& key)
{
    values_.clear();
    std::vector<platform::KeyValue> stored;
    const platform::KeyRead read = platform::ReadUserKey(key, stored, kMaxStoreBytes);
    if (read == platform::KeyRead::Missing) return LoadResult::Missing;
    bool damaged = read == platform::KeyRead::Damaged;
    for (const platform::KeyValue& value : stored)
        if (!Set(value.name, value.text ? Type::Text : Type::Binary, value.bytes)) damaged = true;
    if (damaged) Log("*** PrefStore::LoadKey(%s) damaged values skipped ***", key.c_str());
    return damaged ? LoadResult::Damaged : LoadResult::Loaded;
}

bool PrefStore::SaveKey(const std::string& key) const
{
    std::vector<platform::KeyValue> values;
    values.reserve(values_.size());
    for (const Value& value : values_)
        values.push_back({value.name, value.type == Type::Text, value.bytes});
    if (!platform::WriteUserKey(key, values)) {
        Log("*** PrefStore::SaveKey(%s) failed ***", key.c_str());
        return false;
    }
    return true;
}
