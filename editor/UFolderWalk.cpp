#include "editor/UFolderWalk.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string name;
    bool folder = false;
};

// One folder's entries, read in full so that no folder stays open while the walk descends.
std::vector<Entry> ListEntries(const std::string& folder, const std::atomic<bool>& stop)
{
    std::vector<Entry> entries;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::none, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (stop.load(std::memory_order_acquire)) break;
        const fs::directory_entry& entry = *it;
        std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code kindError;
        if (entry.is_symlink(kindError)) {
            // Followed only to a file: a link to a folder could lead back up the tree.
            if (entry.is_regular_file(kindError)) entries.push_back({std::move(name), false});
        } else if (entry.is_directory(kindError)) {
            entries.push_back({std::move(name), true});
        } else if (entry.is_regular_file(kindError)) {
            entries.push_back({std::move(name), false});
        }
    }
    return entries;
}

struct Frame {
    std::string folder;
    std::vector<Entry> entries;
    std::size_t next = 0;
    bool listed = false;
};

}  // namespace

void UFolderWalk::Walk(std::string_view root, const std::atomic<bool>& stop, Visitor& visitor)
{
    if (root.empty()) return;
    std::string first(root);
    if (first.back() != platform::kPathSeparator) first += platform::kPathSeparator;

    std::vector<Frame> stack;
    stack.push_back({std::move(first), {}, 0, false});
    while (!stack.empty() && !stop.load(std::memory_order_acquire)) {
        Frame& frame = stack.back();
        if (!frame.listed) {
            frame.listed = true;
            visitor.EnterFolder(frame.folder);
            frame.entries = ListEntries(frame.folder, stop);
            continue;
        }
        if (frame.next == frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry& entry = frame.entries[frame.next++];
        if (entry.folder) {
            // `frame` may move when the stack grows: build the path first.
            std::string sub = frame.folder + entry.name + platform::kPathSeparator;
            stack.push_back({std::move(sub), {}, 0, false});
        } else {
            visitor.VisitFile(frame.folder, entry.name);
        }
    }
}
