#include "platform/Platform.h"

#include <shlobj.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <io.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>

#include "platform/win32/WideText.h"

namespace platform {

namespace {

std::string ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path) !=
        S_OK)
        return {};
    return Narrow(path);
}

std::string Environment(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0 || length >= size) return {};
    value.resize(length);
    return Narrow(value);
}

DWORD Attributes(const std::string& path)
{
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Widen(path).c_str());
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

HANDLE AsHandle(FileHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

// Readers let others read, write, rename and delete, as on POSIX: a preference file or a bank
// being replaced while we read it must not fail the replacement.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

using FileOpeningHook = void (*)(const char* path);

void AnnounceOpening(const std::string& path)
{
    static const auto hook = reinterpret_cast<FileOpeningHook>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), kFileOpeningHook)));
    if (hook) hook(path.c_str());
}

}  // namespace

void AnnounceFileReading(const std::string& path)
{
    static const auto hook = reinterpret_cast<FileOpeningHook>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), kFileReadingHook)));
    if (hook) hook(path.c_str());
}

namespace {

// Opening never waits for another party here: a named pipe's client open fails at once when
// every instance is busy (ERROR_PIPE_BUSY) instead of waiting, and devices open at once. What
// is not a file on disk is refused right after.
FileHandle Open(const std::string& path, DWORD access, DWORD disposition)
{
    if (path.empty()) return kNoFile;
    if (access & GENERIC_READ) AnnounceOpening(path);
    const HANDLE handle = CreateFileW(Widen(path).c_str(), access, kShareAll, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return kNoFile;
    // Only files on disk are files here (no consoles, pipes or devices).
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return kNoFile;
    }
    return reinterpret_cast<FileHandle>(handle);
}

// ReadFile and WriteFile take 32-bit counts.
constexpr std::int64_t kMaxTransfer = 1 << 30;

OVERLAPPED At(std::int64_t offset)
{
    OVERLAPPED at {};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return at;
}

}  // namespace

void SleepMs(int milliseconds)
{
    // Straight to the system: the C++ library's sleep goes through winpthreads, which first
    // allocates a record for a thread it did not start, such as a host's thread that renders
    // offline and waits for the disk inside processReplacing.
    Sleep(milliseconds < 0 ? 0 : static_cast<DWORD>(milliseconds));
}

std::string HomeFolder()
{
    if (std::string home = Environment(L"USERPROFILE"); !home.empty()) return home;
    if (std::string home = ShellFolder(CSIDL_PROFILE); !home.empty()) return home;
    return "C:\\";
}

std::string UserConfigFolder()
{
    std::string folder = ShellFolder(CSIDL_APPDATA);
    return folder.empty() ? HomeFolder() : folder;
}

std::string CommonAppDataFolder()
{
    std::string folder = ShellFolder(CSIDL_COMMON_APPDATA);
    return folder.empty() ? UserConfigFolder() : folder;
}

std::string DesktopFolder()
{
    std::string folder = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    return !folder.empty() && FolderExists(folder) ? folder : HomeFolder();
}

bool FolderExists(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OpenWebPage(const std::string& url)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool CanReadFolder(const std::string& path)
{
    if (!FolderExists(path)) return false;
    WIN32_FIND_DATAW found {};
    const HANDLE find = FindFirstFileW(Widen(JoinPath(path, "*")).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

bool SameVolume(const std::string& a, const std::string& b)
{
    wchar_t x[MAX_PATH] {}, y[MAX_PATH] {};
    if (!GetVolumePathNameW(Widen(a).c_str(), x, MAX_PATH) ||
        !GetVolumePathNameW(Widen(b).c_str(), y, MAX_PATH))
        return true;
    return CompareStringOrdinal(x, -1, y, -1, TRUE) == CSTR_EQUAL;
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

std::vector<FolderEntry> ListFolder(const std::string& path, std::size_t maxEntries)
{
    std::vector<FolderEntry> entries;
    if (path.empty() || maxEntries == 0) return entries;
    std::string pattern = path;
    if (!IsSeparator(pattern.back())) pattern += kPathSeparator;
    pattern += '*';
    WIN32_FIND_DATAW found {};
    const HANDLE search = FindFirstFileW(Widen(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry& added = entries.emplace_back();
        added.name = Narrow(name);
        // A link to a folder carries the folder attribute too.
        added.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    } while (entries.size() < maxEntries && FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

bool CreateFolder(const std::string& path)
{
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    // Parents first, one component at a time; a drive ("C:") or a share's server name cannot be
    // created and need not be, so only the last step decides.
    for (std::size_t at = 1; at < path.size(); ++at) {
        if (!IsSeparator(path[at]) || IsSeparator(path[at - 1])) continue;
        const std::string parent = path.substr(0, at);
        if (!FolderExists(parent)) CreateDirectoryW(Widen(parent).c_str(), nullptr);
    }
    CreateDirectoryW(Widen(path).c_str(), nullptr);
    return FolderExists(path);
}

bool RemoveFile(const std::string& path)
{
    return !path.empty() && DeleteFileW(Widen(path).c_str()) != 0;
}

std::string ModulePath()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ModulePath), &module))
        return {};
    // Long paths do not fit MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    while (path.size() <= 32768) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
    return {};
}

namespace {
std::atomic<bool> gModulePinned {false};
}  // namespace

void PinModule()
{
    if (gModulePinned.exchange(true, std::memory_order_acq_rel)) return;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&PinModule), &module);
}

bool ModulePinned()
{
    return gModulePinned.load(std::memory_order_acquire);
}

void PinModuleAtEntry()
{
    PinModule();
}

FileHandle OpenFileRead(const std::string& path)
{
    return Open(path, GENERIC_READ, OPEN_EXISTING);
}

FileHandle OpenFileUpdate(const std::string& path)
{
    return Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
}

FileHandle CreateFileWrite(const std::string& path)
{
    return Open(path, GENERIC_WRITE, CREATE_ALWAYS);
}

void CloseFile(FileHandle file)
{
    if (file != kNoFile) CloseHandle(AsHandle(file));
}

std::int64_t FileSize(FileHandle file)
{
    LARGE_INTEGER size {};
    if (file == kNoFile || !GetFileSizeEx(AsHandle(file), &size)) return -1;
    return size.QuadPart;
}

std::int64_t ReadFileAt(FileHandle file, std::int64_t offset, void* dst, std::int64_t n)
{
    if (file == kNoFile || offset < 0 || n < 0) return -1;
    auto* out = static_cast<char*>(dst);
    std::int64_t done = 0;
    while (done < n) {
        OVERLAPPED at = At(offset + done);
        DWORD got = 0;
        const auto ask = static_cast<DWORD>(std::min(n - done, kMaxTransfer));
        if (!ReadFile(AsHandle(file), out + done, ask, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            return done > 0 ? done : -1;
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

std::int64_t WriteFileAt(FileHandle file, std::int64_t offset, const void* src, std::int64_t n)
{
    if (file == kNoFile || offset < 0 || n < 0) return -1;
    const auto* in = static_cast<const char*>(src);
    std::int64_t done = 0;
    while (done < n) {
        OVERLAPPED at = At(offset + done);
        DWORD put = 0;
        const auto ask = static_cast<DWORD>(std::min(n - done, kMaxTransfer));
        if (!WriteFile(AsHandle(file), in + done, ask, &put, &at) || put == 0) return -1;
        done += put;
    }
    return done;
}

bool ReplaceFileContents(const std::string& path, std::span<const std::byte> bytes)
{
    const std::string temporary = path + ".new-" + std::to_string(GetCurrentProcessId());
    FileHandle file = CreateFileWrite(temporary);
    if (file == kNoFile) return false;
    auto size = static_cast<std::int64_t>(bytes.size());
    bool ok =
        WriteFileAt(file, 0, bytes.data(), size) == size && FlushFileBuffers(AsHandle(file)) != 0;
    CloseFile(file);
    if (ok)
        ok = MoveFileExW(Widen(temporary).c_str(), Widen(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileW(Widen(temporary).c_str());
    return ok;
}

std::FILE* OpenStream(const std::string& path, const char* mode)
{
    if (path.empty() || !mode) return nullptr;
    if (mode[0] == 'r' || std::strchr(mode, '+')) AnnounceOpening(path);
    std::FILE* stream = _wfopen(Widen(path).c_str(), Widen(mode).c_str());
    // A pipe's client opens at once, but would hold the writer until the other end reads.
    if (stream &&
        GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)))) == FILE_TYPE_PIPE) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}

std::optional<std::string> GetEnv(const std::string& name)
{
    const wchar_t* value = _wgetenv(Widen(name).c_str());
    return value ? std::optional<std::string>(Narrow(value)) : std::nullopt;
}

bool SetEnv(const std::string& name, const std::optional<std::string>& value)
{
    // The C runtime's copy and the process's are updated together.
    return _wputenv_s(Widen(name).c_str(), value ? Widen(*value).c_str() : L"") == 0;
}

void* AllocateLarge(std::size_t bytes)
{
    // Large pages need a privilege that ordinary users lack; committed small pages, zero-filled
    // by the system, serve the same purpose here.
    if (bytes == 0) return nullptr;
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeLarge(void* memory, std::size_t bytes)
{
    if (memory != nullptr && bytes > 0) VirtualFree(memory, 0, MEM_RELEASE);
}

MemoryStatus PhysicalMemory()
{
    MemoryStatus status;
    MEMORYSTATUSEX memory {};
    memory.dwLength = sizeof memory;
    if (GlobalMemoryStatusEx(&memory)) {
        status.totalBytes = memory.ullTotalPhys;
        status.availableBytes = memory.ullAvailPhys;
    }
    return status;
}

}  // namespace platform
