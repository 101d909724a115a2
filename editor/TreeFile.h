// The favourites: up to 64 folder paths kept in "marlet.fav" in the folder "Orvana" of the
// common application data folder. The file holds the entry count and then each path as its
// length and bytes, all numbers unsigned 32-bit little-endian; a file whose count reads above
// 1024 was written big-endian and is read as such. Item 0 of the favourites list is the
// computer itself, so favourite n is entry n - 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/QelLog.h"

class TreeFile : public QelLog {
public:
    static constexpr int kMaxEntries = 64;
    // A favourite becomes the current path, a 400-byte buffer with its terminator.
    static constexpr std::size_t kMaxPathBytes = 399;
    // Counts above this are byte-reversed before use.
    static constexpr std::uint32_t kByteOrderLimit = 1024;
    // No file of 64 entries comes near this; anything larger is not a favourites file.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;

    // The favourites file in the common application data folder.
    static std::string DefaultPath();

    explicit TreeFile(std::string path = DefaultPath());

    // Replaces the entries with the file's; a missing file gives none. Whatever is damaged
    // (cut short, a count or length past the limits) is left out with a log line; the entries
    // before it are kept. False when the file was there and could not be read whole.
    bool Load();
    // Writes the entries when they changed since the last load or save, creating the folder
    // when needed; the old file stays whole until the new one is complete. False (and still
    // modified) when it could not be written.
    bool Save();

    // The file's bytes for these entries, and the entries of such bytes (what Load applies;
    // false when they were damaged, with the entries before the damage).
    static std::vector<std::byte> Encode(const std::vector<std::string>& paths);
    bool Decode(std::span<const std::byte> bytes, std::vector<std::string>& paths) const;

    // Appends a path when fewer than 64 are kept and it fits the current path; false when not.
    bool Add(std::string_view path);
    // Removes the selected favourite (index n >= 1 is entry n - 1); the computer stays.
    bool RemoveSelected();
    // 0 is the computer (empty current path), n >= 1 favourite n.
    void Select(int index);
    int Selected() const { return selected_; }
    const std::string& CurrentPath() const { return current_; }

    int Count() const { return static_cast<int>(paths_.size()); }
    // Entry i (0-based); empty outside the list.
    const std::string& PathAt(int index) const;
    // The last component of entry i's path without a trailing separator; the whole path when
    // it has no other (the root folder).
    std::string NameOf(int index) const;
    bool IsModified() const { return modified_; }
    const std::string& FilePath() const { return file_; }

private:
    std::string file_;
    std::vector<std::string> paths_;
    int selected_ = 0;
    std::string current_;
    bool modified_ = false;
};
