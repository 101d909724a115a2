// The parts of the OS layer that need nothing but the standard library and the other calls of
// Platform.h: one copy for every OS.
#include <atomic>
#include <chrono>

#include "platform/Platform.h"

namespace platform {

namespace {
std::atomic<bool> gProcessEnding {false};
}  // namespace

bool ProcessEnding()
{
    return gProcessEnding.load(std::memory_order_acquire);
}

void MarkProcessEnding()
{
    gProcessEnding.store(true, std::memory_order_release);
}

std::uint32_t TickCount()
{
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

bool IsPathSeparator(char c)
{
    return c == '/' || (kPathSeparator == '\\' && c == '\\');
}

bool IsAbsolutePath(std::string_view path)
{
    if (kPathSeparator == '/') return !path.empty() && path.front() == '/';
    const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') &&
                       path[1] == ':' && IsPathSeparator(path[2]);
    const bool share = path.size() >= 3 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
    return drive || share;
}

std::string_view FolderOf(std::string_view path)
{
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsPathSeparator(path[i])) last = i;
    }
    if (last == std::string_view::npos) return {};
    const bool root = last == 0 || (kPathSeparator == '\\' && last == 2 && path[1] == ':');
    return path.substr(0, root ? last + 1 : last);
}

std::string_view NameOf(std::string_view path)
{
    std::size_t start = path.size();
    while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
    return path.substr(start);
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    while (!name.empty() && name.front() == kPathSeparator) name.remove_prefix(1);
    if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
    path += name;
    return path;
}

bool ReadWholeFile(const std::string& path, std::vector<std::byte>& bytes, std::size_t maxBytes)
{
    FileHandle file = OpenFileRead(path);
    if (file == kNoFile) return false;
    std::int64_t size = FileSize(file);
    bool ok = size >= 0 && static_cast<std::uint64_t>(size) <= maxBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = ReadFileAt(file, 0, bytes.data(), size) == size;
    }
    CloseFile(file);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace platform
