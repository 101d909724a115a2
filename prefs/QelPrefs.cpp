#include "prefs/QelPrefs.h"

#include <algorithm>
#include <cstring>

#include "platform/Platform.h"
#include "platform/UserKey.h"
#include "prefs/PrefStore.h"

namespace {

bool ValidKeyName(std::string_view key)
{
    // Neither separator: the name is a folder on one system and a registry key on the other.
    return PrefStore::ValidName(key) && key != "." && key != ".." &&
           key.find_first_of("/\\") == std::string_view::npos;
}

// Where the OS keeps per-user values (the registry), they live there; elsewhere in our file.
PrefStore::LoadResult LoadStore(PrefStore& store, const std::string& key, const std::string& path)
{
    return platform::kUserKeys ? store.LoadKey(key) : store.Load(path);
}

bool SaveStore(const PrefStore& store, const std::string& key, const std::string& path)
{
    return platform::kUserKeys ? store.SaveKey(key) : store.Save(path);
}

}  // namespace

QelPrefs::~QelPrefs()
{
    if (!closed_) Save();
}

void QelPrefs::SaveAtClose()
{
    if (!closed_) Save();
    closed_ = true;
}

void QelPrefs::Declare(std::string name, std::span<std::byte> variable)
{
    values_.push_back({std::move(name), variable, nullptr});
}

void QelPrefs::Declare(std::string name, std::string& variable)
{
    values_.push_back({std::move(name), {}, &variable});
}

bool QelPrefs::Load(std::string_view keyName)
{
    if (loaded_) return true;
    if (values_.empty()) DeclareValues();
    if (values_.empty()) return false;
    if (!ValidKeyName(keyName)) {
        Log("*** QelPrefs::Load(%.*s) invalid key name ***", static_cast<int>(keyName.size()),
            keyName.data());
        return false;
    }
    registryPath_ = std::string(kRegistryPrefix) + std::string(keyName);
    storePath_ =
        platform::JoinPath(platform::JoinPath(platform::UserConfigFolder(), keyName), kStoreName);

    PrefStore store;
    if (LoadStore(store, registryPath_, storePath_) == PrefStore::LoadResult::Missing) {
        Log("QelPrefs::Load(%s) no store yet, defaults in force", registryPath_.c_str());
        return false;
    }
    for (t_pref& pref : values_) {
        const PrefStore::Value* stored = store.Find(pref.name);
        if (!stored) continue;
        if (pref.text && stored->type == PrefStore::Type::Text) {
            // Up to the terminating zero, at most kMaxText bytes.
            const auto* chars = reinterpret_cast<const char*>(stored->bytes.data());
            std::size_t length = std::min(stored->bytes.size(), kMaxText);
            length = std::find(chars, chars + length, '\0') - chars;
            pref.text->assign(chars, length);
        } else if (!pref.text && stored->type == PrefStore::Type::Binary &&
                   stored->bytes.size() == pref.binary.size()) {
            std::memcpy(pref.binary.data(), stored->bytes.data(), pref.binary.size());
        } else {
            Log("*** QelPrefs::Load value %s has the wrong type or size ***", pref.name.c_str());
        }
    }
    CheckAfterLoad();
    loaded_ = true;
    return true;
}

bool QelPrefs::Save()
{
    if (values_.empty() || registryPath_.empty()) return false;
    // Values this program does not declare (another version's) stay in the store.
    PrefStore store;
    LoadStore(store, registryPath_, storePath_);
    for (const t_pref& pref : values_) {
        if (pref.text) {
            const std::string& text = *pref.text;
            std::vector<std::byte> bytes(text.size() + 1);  // with the terminating zero
            std::memcpy(bytes.data(), text.data(), text.size());
            store.Set(pref.name, PrefStore::Type::Text, bytes);
        } else {
            store.Set(pref.name, PrefStore::Type::Binary, pref.binary);
        }
    }
    return SaveStore(store, registryPath_, storePath_);
}
