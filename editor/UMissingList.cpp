#include "editor/UMissingList.h"

#include <algorithm>

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool UMissingList::Add(std::string_view path)
{
    const bool listed = std::any_of(entries_.begin(), entries_.end(),
                                    [&](const Entry& entry) { return entry.path == path; });
    if (listed) return false;
    entries_.push_back({std::string(path), std::nullopt});
    return true;
}

std::optional<std::string> UMissingList::FoundPathFor(std::string_view path) const
{
    for (const Entry& entry : entries_)
        if (entry.path == path) return entry.found;
    return std::nullopt;
}

bool UMissingList::Offer(std::string_view folder, std::string_view name)
{
    if (!IsGigName(name) || AllFound()) return false;
    bool taken = false;
    for (Entry& entry : entries_) {
        if (entry.found || FileName(entry.path) != name) continue;
        entry.found = std::string(folder) + std::string(name);
        ++found_;
        taken = true;
    }
    return taken;
}

std::string_view UMissingList::FileName(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool UMissingList::IsGigName(std::string_view name)
{
    if (name.size() < 5) return false;
    const std::string_view end = name.substr(name.size() - 4);
    return end[0] == '.' && Lower(end[1]) == 'g' && Lower(end[2]) == 'i' && Lower(end[3]) == 'g';
}
