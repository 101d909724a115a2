// The OS's own per-user store of named values: on Windows the registry below
// HKEY_CURRENT_USER, where other programs and the user expect an application's settings.
// Elsewhere there is none (kUserKeys is false) and the program keeps a file of its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

#ifdef _WIN32
inline constexpr bool kUserKeys = true;
#else
inline constexpr bool kUserKeys = false;
#endif

struct KeyValue {
    std::string name;
    bool text = false;  // text (kept with its terminating zero) or binary
    std::vector<std::byte> bytes;
};

enum class KeyRead { Missing, Read, Damaged };

// Reads every binary and text value of `key` (a path below the user's root, such as
// "SOFTWARE\\marlet"); values of other types or too large make the read Damaged and are
// skipped. Text comes back as UTF-8.
KeyRead ReadUserKey(const std::string& key, std::vector<KeyValue>& values, std::size_t maxBytes);
// Creates the key as needed and writes the values (text given as UTF-8); others stay.
bool WriteUserKey(const std::string& key, const std::vector<KeyValue>& values);

}  // namespace platform
