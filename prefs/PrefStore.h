// The per-user store of named preference values, each kept with its type (binary or text) and
// its exact bytes: our stand-in for a registry key. On disk it is a small text file, one value
// per line ("binary lmin 0000803f"), so a damaged line costs only that value.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/QelLog.h"

class PrefStore : public QelLog {
public:
    enum class Type { Binary, Text };
    enum class LoadResult { Missing, Loaded, Damaged };

    struct Value {
        std::string name;
        Type type = Type::Binary;
        std::vector<std::byte> bytes;
    };

    static constexpr std::size_t kMaxStoreBytes = 1 << 20;
    static constexpr std::size_t kMaxNameLength = 255;

    // Missing: no store yet. Damaged: the file exists but (part of) it could not be read; what
    // could be read is kept.
    LoadResult Load(const std::string& path);
    // Writes the whole store at once (new file, then rename), creating the folder as needed.
    bool Save(const std::string& path) const;
    // The same values in the OS's per-user store under `key` (where there is one: see
    // platform/UserKey.h), each with its type and bytes.
    LoadResult LoadKey(const std::string& key);
    bool SaveKey(const std::string& key) const;

    const Value* Find(std::string_view name) const;
    // Adds or replaces a value; false for a name the store cannot hold.
    bool Set(std::string_view name, Type type, std::span<const std::byte> bytes);
    const std::vector<Value>& Values() const { return values_; }

    static bool ValidName(std::string_view name);

private:
    bool ParseLine(std::string_view line);

    std::vector<Value> values_;
};
