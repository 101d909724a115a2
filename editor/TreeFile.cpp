#include "editor/TreeFile.h"

#include <cstring>

#include "platform/Platform.h"

namespace {

const std::string kEmpty;

std::uint32_t ReadWord(std::span<const std::byte> bytes, std::size_t at, bool bigEndian)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const auto b = static_cast<std::uint32_t>(bytes[at + i]);
        value |= bigEndian ? b << (8 * (3 - i)) : b << (8 * i);
    }
    return value;
}

void WriteWord(std::vector<std::byte>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string TreeFile::DefaultPath()
{
    return platform::JoinPath(platform::JoinPath(platform::CommonAppDataFolder(), "Orvana"),
                              "marlet.fav");
}

TreeFile::TreeFile(std::string path) : file_(std::move(path)) {}

bool TreeFile::Load()
{
    Log("TreeFile::Load(%s)", file_.c_str());
    paths_.clear();
    Select(0);
    modified_ = false;
    if (!platform::FileExists(file_)) return true;
    std::vector<std::byte> bytes;
    if (!platform::ReadWholeFile(file_, bytes, kMaxFileBytes)) {
        Log("*** TreeFile::Load() cannot read the file or it is over %zu bytes ***", kMaxFileBytes);
        return false;
    }
    return Decode(bytes, paths_);
}

bool TreeFile::Decode(std::span<const std::byte> bytes, std::vector<std::string>& paths) const
{
    paths.clear();
    if (bytes.size() < 4) {
        Log("*** TreeFile: %zu bytes, no entry count ***", bytes.size());
        return bytes.empty();
    }
    bool bigEndian = false;
    std::uint32_t count = ReadWord(bytes, 0, false);
    if (count > kByteOrderLimit) {
        bigEndian = true;
        count = ReadWord(bytes, 0, true);
    }
    if (count > static_cast<std::uint32_t>(kMaxEntries)) {
        Log("*** TreeFile: %u entries, the first %d kept ***", count, kMaxEntries);
    }
    bool whole = count <= static_cast<std::uint32_t>(kMaxEntries);
    std::size_t at = 4;
    for (std::uint32_t i = 0; i < count && paths.size() < kMaxEntries; ++i) {
        if (bytes.size() - at < 4) {
            Log("*** TreeFile: cut short in entry %u of %u ***", i + 1, count);
            return false;
        }
        const std::uint32_t length = ReadWord(bytes, at, bigEndian);
        at += 4;
        if (length > bytes.size() - at) {
            Log("*** TreeFile: entry %u claims %u bytes, %zu left ***", i + 1, length,
                bytes.size() - at);
            return false;
        }
        std::string path(reinterpret_cast<const char*>(bytes.data() + at), length);
        at += length;
        if (path.empty() || path.size() > kMaxPathBytes || path.find('\0') != std::string::npos) {
            Log("*** TreeFile: entry %u of %u bytes is not a usable path, left out ***", i + 1,
                length);
            whole = false;
            continue;
        }
        paths.push_back(std::move(path));
    }
    return whole;
}

std::vector<std::byte> TreeFile::Encode(const std::vector<std::string>& paths)
{
    std::vector<std::byte> out;
    WriteWord(out, static_cast<std::uint32_t>(paths.size()));
    for (const std::string& path : paths) {
        WriteWord(out, static_cast<std::uint32_t>(path.size()));
        const auto* first = reinterpret_cast<const std::byte*>(path.data());
        out.insert(out.end(), first, first + path.size());
    }
    return out;
}

bool TreeFile::Save()
{
    if (!modified_) return true;
    Log("TreeFile::Save(%s) %d entries", file_.c_str(), Count());
    const std::size_t slash = file_.find_last_of(platform::kPathSeparator);
    if (slash != std::string::npos && slash > 0 &&
        !platform::CreateFolder(file_.substr(0, slash))) {
        Log("*** TreeFile::Save() cannot create the folder of %s ***", file_.c_str());
        return false;
    }
    if (!platform::ReplaceFileContents(file_, Encode(paths_))) {
        Log("*** TreeFile::Save() cannot write %s ***", file_.c_str());
        return false;
    }
    modified_ = false;
    return true;
}

bool TreeFile::Add(std::string_view path)
{
    if (paths_.size() >= kMaxEntries || path.empty() || path.size() > kMaxPathBytes ||
        path.find('\0') != std::string_view::npos) {
        Log("*** TreeFile::Add() refused: %zu entries, path of %zu bytes ***", paths_.size(),
            path.size());
        return false;
    }
    paths_.emplace_back(path);
    modified_ = true;
    return true;
}

bool TreeFile::RemoveSelected()
{
    if (selected_ < 1 || selected_ > Count()) return false;
    paths_.erase(paths_.begin() + (selected_ - 1));
    modified_ = true;
    Select(0);
    return true;
}

void TreeFile::Select(int index)
{
    selected_ = index >= 1 && index <= Count() ? index : 0;
    current_ = selected_ == 0 ? std::string() : paths_[selected_ - 1];
}

const std::string& TreeFile::PathAt(int index) const
{
    return index >= 0 && index < Count() ? paths_[index] : kEmpty;
}

std::string TreeFile::NameOf(int index) const
{
    std::string_view path = PathAt(index);
    while (path.size() > 1 && platform::IsPathSeparator(path.back())) path.remove_suffix(1);
    const std::string_view name = platform::NameOf(path);
    return std::string(name.empty() ? path : name);
}
