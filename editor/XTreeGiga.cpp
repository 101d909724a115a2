#include "editor/XTreeGiga.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "gui/XPic.h"
#include "platform/Platform.h"

namespace {

bool IsGigName(std::string_view name)
{
    if (name.size() <= 4 || name.front() == '.') return false;
    const std::string_view tail = name.substr(name.size() - 4);
    return std::equal(tail.begin(), tail.end(), ".gig", [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a + ('a' - 'A') : a) == b;
    });
}

std::string Canonical(const std::string& path)
{
    std::error_code error;
    auto canonical = std::filesystem::canonical(path, error);
    return error ? std::string() : canonical.string();
}

}  // namespace

XTreeGiga::XTreeGiga(int x, int y, int width, int height) : XTree(x, y, width, height)
{
    SetSeparator(platform::kPathSeparator);
    SetIcon(kDrive, "icn_disk.png", true);
    SetIcon(kFolder, "icn_folder.png", true);
    SetIcon(kGigFile, "icn_gig.png", false);
    SetExpanderPictures(XPic("icn_open.png"), XPic("icn_closed.png"));
    SetSorted(true);
}

std::vector<XTreeGiga::Root> XTreeGiga::ComputerRoots()
{
    std::vector<Root> roots {{"File System", "/"}};
    const std::string home = platform::HomeFolder();
    if (!home.empty() && home != "/" && platform::FolderExists(home))
        roots.push_back({"Home", home});
    std::vector<Root> volumes;
    const auto volume = [&](const std::string& path, const std::string& name) {
        volumes.push_back({name, path});
    };
    const auto children = [](const std::string& path) {
        std::vector<std::string> names;
        for (const auto& e : platform::ListFolder(path, kMaxFolderEntries))
            if (e.folder && e.name.front() != '.') names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    };
    // /media/<volume> when mounted there, else /media/<user>/<volume>; /run/media/<user>/<volume>.
    for (const std::string& name : children("/media")) {
        const std::string path = platform::JoinPath("/media", name);
        if (!platform::SameVolume(path, "/media")) {
            volume(path, name);
            continue;
        }
        for (const std::string& inner : children(path))
            volume(platform::JoinPath(path, inner), inner);
    }
    for (const std::string& user : children("/run/media")) {
        const std::string path = platform::JoinPath("/run/media", user);
        for (const std::string& inner : children(path))
            volume(platform::JoinPath(path, inner), inner);
    }
    for (const std::string& name : children("/mnt")) volume(platform::JoinPath("/mnt", name), name);
    roots.insert(roots.end(), volumes.begin(), volumes.end());
    return roots;
}

void XTreeGiga::SetFolder(const std::string& path)
{
    Log("XTreeGiga::SetFolder(%s)", path.c_str());
    Clear();
    roots_.clear();
    SetRootPath(path);
    if (path.empty())
        ListDrives();
    else
        ListFolder(nullptr, path);
    Invalidate();
}

void XTreeGiga::ListDrives()
{
    // The roots keep their own order: the root folder, home, then the volumes.
    SetSorted(false);
    for (const Root& root : ComputerRoots()) {
        const Node* node = AddNode(nullptr, root.label + " (" + root.path + ")", kDrive);
        roots_.emplace_back(node, root.path);
    }
    SetSorted(true);
}

void XTreeGiga::ListFolder(Node* node, const std::string& path)
{
    if (node && LeadsIntoItself(node, path)) {
        Log("*** XTreeGiga::ListFolder(%s) leads back into itself, not listed ***", path.c_str());
        return;
    }
    const auto entries = platform::ListFolder(path, kMaxFolderEntries);
    if (entries.empty() && !platform::CanReadFolder(path)) {
        Log("*** XTreeGiga::ListFolder(%s) cannot be read ***", path.c_str());
        return;
    }
    if (entries.size() >= kMaxFolderEntries)
        Log("*** XTreeGiga::ListFolder(%s) first %zu entries only ***", path.c_str(),
            kMaxFolderEntries);
    for (const auto& entry : entries) {
        if (entry.name.empty() || entry.name.front() == '.') continue;  // hidden
        if (entry.folder)
            AddNode(node, entry.name, kFolder);
        else if (IsGigName(entry.name))
            AddNode(node, entry.name, kGigFile);
    }
}

void XTreeGiga::Expand(Node* node)
{
    if (!node) {
        SetFolder(RootPath());
        return;
    }
    if (node->kind == kDrive || node->kind == kFolder) ListFolder(node, FullPath(node));
}

bool XTreeGiga::LeadsIntoItself(const Node* node, const std::string& path) const
{
    const std::string here = Canonical(path);
    if (here.empty()) return false;
    for (const Node* up = node->parent; up; up = up->parent)
        if (Canonical(FullPath(up)) == here) return true;
    if (!RootPath().empty() && Canonical(RootPath()) == here) return true;
    return false;
}

std::string XTreeGiga::FullPath(const Node* node) const
{
    if (!node) return {};
    std::vector<const Node*> chain;
    for (const Node* n = node; n; n = n->parent) chain.push_back(n);
    std::string path = RootPath();
    auto top = chain.rbegin();
    const auto root =
        std::find_if(roots_.begin(), roots_.end(), [&](const auto& r) { return r.first == *top; });
    if (root != roots_.end()) {
        path = root->second;
        ++top;
    }
    for (; top != chain.rend(); ++top) path = platform::JoinPath(path, (*top)->text);
    return path;
}

XTree::Node* XTreeGiga::SelectedGig() const
{
    Node* node = Selected();
    return node && node->kind == kGigFile ? node : nullptr;
}
