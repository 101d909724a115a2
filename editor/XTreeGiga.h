// The browser's tree: the computer's file-system roots (the root folder, the home folder and
// the volumes mounted under /media, /run/media and /mnt), or the folder of a favourite, with
// its folders and .gig files listed lazily as they are expanded. Names are kept byte for byte
// as the file system gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/XTree.h"
#include "platform/QelLog.h"

class XTreeGiga : public XTree, public QelLog {
public:
    enum Kind : std::int32_t { kDrive = 1, kFolder = 2, kGigFile = 3 };
    // A folder lists at most this many entries.
    static constexpr std::size_t kMaxFolderEntries = 20000;

    struct Root {
        std::string label;
        std::string path;
    };

    XTreeGiga(int x, int y, int width, int height);

    // The roots of the computer's file systems as ListDrives shows them.
    static std::vector<Root> ComputerRoots();
    // Clears the tree; with a path, lists that folder as the top level, without, the roots.
    void SetFolder(const std::string& path);
    void ListDrives();
    // Lists the folders and .gig files of `path` under `node` (null: the top level). A folder
    // that cannot be read, or that a link leads back into from below, adds nothing.
    void ListFolder(Node* node, const std::string& path);
    void Expand(Node* node) override;

    // The node's place on disk (no trailing separator); empty for null.
    std::string FullPath(const Node* node) const;
    // The selected node when it is a .gig file, else null.
    Node* SelectedGig() const;

private:
    bool LeadsIntoItself(const Node* node, const std::string& path) const;

    std::vector<std::pair<const Node*, std::string>> roots_;
};
