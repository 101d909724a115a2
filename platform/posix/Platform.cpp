#include "platform/Platform.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/ChildProcess.h"

namespace platform {

void SleepMs(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds));
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

namespace {

std::string EnvFolder(const char* variable, std::string_view fallbackUnderHome)
{
    if (const char* value = std::getenv(variable); value && *value == '/') return value;
    return JoinPath(HomeFolder(), fallbackUnderHome);
}

// Reads XDG_DESKTOP_DIR from user-dirs.dirs: a line such as XDG_DESKTOP_DIR="$HOME/Desktop".
std::string DesktopFromUserDirs()
{
    constexpr std::size_t kMaxBytes = 64 << 10;
    std::vector<std::byte> bytes;
    if (!ReadWholeFile(JoinPath(UserConfigFolder(), "user-dirs.dirs"), bytes, kMaxBytes)) return {};
    std::istringstream in(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::string line;
    while (std::getline(in, line)) {
        constexpr std::string_view key = "XDG_DESKTOP_DIR=";
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = HomeFolder() + value.substr(5);
        if (!value.empty() && value.front() == '/') return value;
    }
    return {};
}

}  // namespace

std::string UserConfigFolder()
{
    return EnvFolder("XDG_CONFIG_HOME", ".config");
}

std::string CommonAppDataFolder()
{
    return EnvFolder("XDG_DATA_HOME", ".local/share");
}

std::string DesktopFolder()
{
    if (const char* value = std::getenv("XDG_DESKTOP_DIR"); value && *value == '/') return value;
    std::string fromFile = DesktopFromUserDirs();
    if (!fromFile.empty() && FolderExists(fromFile)) return fromFile;
    std::string desktop = JoinPath(HomeFolder(), "Desktop");
    if (FolderExists(desktop)) return desktop;
    return HomeFolder();
}

bool FolderExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool OpenWebPage(const std::string& url)
{
    return ChildProcess::StartDetached("xdg-open", {url});
}

bool CanReadFolder(const std::string& path)
{
    return !path.empty() && access(path.c_str(), R_OK | X_OK) == 0;
}

bool SameVolume(const std::string& a, const std::string& b)
{
    struct stat x {
    }, y {};
    return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 ? x.st_dev == y.st_dev : true;
}

std::vector<FolderEntry> ListFolder(const std::string& path, std::size_t maxEntries)
{
    std::vector<FolderEntry> entries;
    DIR* dir = path.empty() ? nullptr : opendir(path.c_str());
    if (!dir) return entries;
    while (entries.size() < maxEntries) {
        const dirent* entry = readdir(dir);
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry& added = entries.emplace_back();
        added.name = name;
        if (entry->d_type == DT_DIR) {
            added.folder = true;
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            added.folder = FolderExists(JoinPath(path, name));
        }
    }
    closedir(dir);
    return entries;
}

bool CreateFolder(const std::string& path)
{
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    // Create the parents first, one component at a time.
    for (std::size_t at = path.find(kPathSeparator, 1); at != std::string::npos;
         at = path.find(kPathSeparator, at + 1)) {
        std::string parent = path.substr(0, at);
        if (!FolderExists(parent) && mkdir(parent.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
    return FolderExists(path);
}

bool RemoveFile(const std::string& path)
{
    return !path.empty() && unlink(path.c_str()) == 0;
}

std::string ModulePath()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) != 0 && info.dli_fname)
        return info.dli_fname;
    return {};
}

namespace {
std::atomic<bool> gModulePinned {false};
}  // namespace

void PinModule()
{
    if (gModulePinned.exchange(true, std::memory_order_acq_rel)) return;
    // The module is loaded (this code runs in it): RTLD_NOLOAD only adds a reference, never
    // given back, and RTLD_NODELETE keeps the module mapped through any later dlclose.
    const std::string path = ModulePath();
    if (!path.empty()) dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

bool ModulePinned()
{
    return gModulePinned.load(std::memory_order_acquire);
}

void PinModuleAtEntry()
{
    // dlclose runs the statics without holding a lock that ending threads need.
}

namespace {

using FileOpeningHook = void (*)(const char* path);

void AnnounceOpening(const std::string& path)
{
    static const auto hook =
        reinterpret_cast<FileOpeningHook>(dlsym(RTLD_DEFAULT, kFileOpeningHook));
    if (hook) hook(path.c_str());
}

}  // namespace

void AnnounceFileReading(const std::string& path)
{
    static const auto hook =
        reinterpret_cast<FileOpeningHook>(dlsym(RTLD_DEFAULT, kFileReadingHook));
    if (hook) hook(path.c_str());
}

namespace {

bool IsRegular(mode_t mode)
{
    return S_ISREG(mode);
}

// Opens without waiting for another party: with O_NONBLOCK a named pipe opens at once (for
// reading) or fails (for writing, with no reader), where a plain open() would wait for the
// other end for ever. What `accept` refuses is closed again; what it takes gets blocking reads
// and writes back.
int OpenWithoutWaiting(const std::string& path, int flags, mode_t permissions,
                       bool (*accept)(mode_t))
{
    if (path.empty()) return -1;
    flags |= O_CLOEXEC;
    int fd = ::open(path.c_str(), flags | O_NONBLOCK, permissions);
    if (fd < 0 && (errno == EWOULDBLOCK || errno == EAGAIN)) {
        // A lease on a regular file (a file server's client writing it) refuses a non-blocking
        // open; a blocking one waits for the lease to break, which the system bounds.
        struct stat st {};
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            fd = ::open(path.c_str(), flags, permissions);
    }
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !accept(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    const int status = fcntl(fd, F_GETFL);
    if (status != -1 && (status & O_NONBLOCK)) fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

FileHandle OpenRegular(const std::string& path, int flags)
{
    if ((flags & O_ACCMODE) != O_WRONLY) AnnounceOpening(path);
    const int fd = OpenWithoutWaiting(path, flags, 0644, IsRegular);
    return fd < 0 ? kNoFile : fd;
}

}  // namespace

FileHandle OpenFileRead(const std::string& path)
{
    return OpenRegular(path, O_RDONLY);
}

FileHandle OpenFileUpdate(const std::string& path)
{
    return OpenRegular(path, O_RDWR);
}

FileHandle CreateFileWrite(const std::string& path)
{
    return OpenRegular(path, O_WRONLY | O_CREAT | O_TRUNC);
}

void CloseFile(FileHandle file)
{
    if (file != kNoFile) ::close(static_cast<int>(file));
}

std::int64_t FileSize(FileHandle file)
{
    struct stat st {};
    if (file == kNoFile || fstat(static_cast<int>(file), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::int64_t ReadFileAt(FileHandle file, std::int64_t offset, void* dst, std::int64_t n)
{
    if (file == kNoFile || offset < 0 || n < 0) return -1;
    auto* out = static_cast<char*>(dst);
    std::int64_t done = 0;
    while (done < n) {
        ssize_t got =
            ::pread(static_cast<int>(file), out + done, static_cast<std::size_t>(n - done),
                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return done > 0 ? done : -1;
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
        ssize_t put =
            ::pwrite(static_cast<int>(file), in + done, static_cast<std::size_t>(n - done),
                     static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return -1;
        done += put;
    }
    return done;
}

bool ReplaceFileContents(const std::string& path, std::span<const std::byte> bytes)
{
    std::string temporary = path + ".new-" + std::to_string(getpid());
    FileHandle file = CreateFileWrite(temporary);
    if (file == kNoFile) return false;
    auto size = static_cast<std::int64_t>(bytes.size());
    bool ok =
        WriteFileAt(file, 0, bytes.data(), size) == size && fsync(static_cast<int>(file)) == 0;
    CloseFile(file);
    if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// The large page of the common Linux machines; where pages are not that large, the alignment
// only costs some address space.
constexpr std::size_t kLargePageBytes = std::size_t {2} << 20;

// Whole small pages, so that the trimmed ends and the unmapping agree.
std::size_t WholePages(std::size_t bytes)
{
    const long page = sysconf(_SC_PAGESIZE);
    const std::size_t size = page > 0 ? static_cast<std::size_t>(page) : 4096;
    return (bytes + size - 1) / size * size;
}

}  // namespace

void* AllocateLarge(std::size_t bytes)
{
    if (bytes == 0 || bytes > SIZE_MAX / 2) return nullptr;
    const std::size_t size = WholePages(bytes);
    // Over-allocate by one large page and trim, so the store starts on a large page boundary.
    const std::size_t span = size + kLargePageBytes;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto base = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = (base + kLargePageBytes - 1) & ~(kLargePageBytes - 1);
    const std::size_t head = start - base;
    if (head > 0) munmap(raw, head);
    if (span - head > size) munmap(reinterpret_cast<void*>(start + size), span - head - size);
    void* memory = reinterpret_cast<void*>(start);
#ifdef MADV_HUGEPAGE
    madvise(memory, size, MADV_HUGEPAGE);  // a hint: without it the store simply has small pages
#endif
    return memory;
}

void FreeLarge(void* memory, std::size_t bytes)
{
    if (memory != nullptr && bytes > 0) munmap(memory, WholePages(bytes));
}

namespace {

// Logs may go to a device such as /dev/null; a pipe would hold the writer until it is read.
bool IsStreamable(mode_t mode)
{
    return !S_ISFIFO(mode) && !S_ISSOCK(mode) && !S_ISDIR(mode);
}

}  // namespace

std::FILE* OpenStream(const std::string& path, const char* mode)
{
    if (path.empty() || !mode) return nullptr;
    // fopen's modes as open's flags.
    const bool both = std::strchr(mode, '+') != nullptr;
    int flags = 0;
    switch (mode[0]) {
        case 'r':
            flags = both ? O_RDWR : O_RDONLY;
            break;
        case 'w':
            flags = (both ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
            break;
        case 'a':
            flags = (both ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
            break;
        default:
            return nullptr;
    }
    if (std::strchr(mode, 'x')) flags |= O_EXCL;
    if ((flags & O_ACCMODE) != O_WRONLY) AnnounceOpening(path);
    const int fd = OpenWithoutWaiting(path, flags, 0666, IsStreamable);
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, mode);
    if (!stream) ::close(fd);
    return stream;
}

std::optional<std::string> GetEnv(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

bool SetEnv(const std::string& name, const std::optional<std::string>& value)
{
    return (value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str())) == 0;
}

MemoryStatus PhysicalMemory()
{
    MemoryStatus status;
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        status.totalBytes = static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
        status.availableBytes =
            static_cast<std::uint64_t>(info.freeram + info.bufferram) * info.mem_unit;
    }
    // MemAvailable also counts reclaimable page cache, which sysinfo does not.
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        unsigned long long kilobytes = 0;
        if (std::sscanf(line.c_str(), "MemTotal: %llu kB", &kilobytes) == 1)
            status.totalBytes = kilobytes * 1024;
        else if (std::sscanf(line.c_str(), "MemAvailable: %llu kB", &kilobytes) == 1)
            status.availableBytes = kilobytes * 1024;
    }
    return status;
}

}  // namespace platform
