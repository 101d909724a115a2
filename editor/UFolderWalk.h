// A depth-first walk of a folder tree, in the order the file system lists each folder. Hidden
// entries (names starting with a point) are skipped. Links to folders are not followed, so a
// link that points back up the tree cannot make the walk go round; links to files count as
// files. A folder that cannot be read contributes nothing. The walk keeps no folder open while
// it descends, and its depth is bounded only by the system's path length.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

class UFolderWalk {
public:
    class Visitor {
    public:
        virtual ~Visitor() = default;
        // A folder is about to be listed; its path ends with the separator.
        virtual void EnterFolder(const std::string& folder) {}
        // A regular file (or a link to one) named `name` in `folder` (ending with the separator).
        virtual void VisitFile(const std::string& folder, const std::string& name) = 0;
    };

    // Walks `root` (a separator is added when it has none) until the tree is done or `stop`
    // is set; `stop` is read before each folder and each entry.
    static void Walk(std::string_view root, const std::atomic<bool>& stop, Visitor& visitor);
};
