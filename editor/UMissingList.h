// The instrument files a performance asked for and did not find, each with the path where a
// search found a file of the same name. Paths are bytes; a path is listed once however often it
// is added. Not thread-safe: its owner decides who may touch it when.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class UMissingList {
public:
    // False when exactly this path is listed already.
    bool Add(std::string_view path);

    std::size_t Count() const { return entries_.size(); }
    std::size_t FoundCount() const { return found_; }
    bool AllFound() const { return found_ == entries_.size(); }
    const std::string& Path(std::size_t index) const { return entries_[index].path; }

    // Where the listed entry equal to `path` was found; none when it is not listed or not found.
    std::optional<std::string> FoundPathFor(std::string_view path) const;

    // A file `name` in `folder` (which ends with a separator): every entry still missing whose
    // file name is exactly `name` is found there. Only names at least 5 bytes long ending with
    // ".gig" (letters in either case) are looked at. True when some entry took it.
    bool Offer(std::string_view folder, std::string_view name);

    // The file name part of a path: after its last slash or backslash (performances made on
    // another system may use either).
    static std::string_view FileName(std::string_view path);
    static bool IsGigName(std::string_view name);

private:
    struct Entry {
        std::string path;
        std::optional<std::string> found;
    };

    std::vector<Entry> entries_;
    std::size_t found_ = 0;
};
