// The operating-system layer: everything the program needs of the OS goes through here, so that
// another OS is a new implementation of this interface, not a fork of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Milliseconds of a monotonic clock; wraps like a 32-bit tick count.
std::uint32_t TickCount();
void SleepMs(int milliseconds);

// Per-machine writable folder for the program's shared files (the folder "Orvana" lives in it).
std::string CommonAppDataFolder();
// The user's desktop folder (falls back to the home folder).
std::string DesktopFolder();
// Per-user configuration folder (preferences live below it).
std::string UserConfigFolder();
std::string HomeFolder();

bool FolderExists(const std::string& path);
// Shows the page in the desktop's web browser without waiting for it; false when none starts.
bool OpenWebPage(const std::string& url);
// Whether this process may list the folder and enter it.
bool CanReadFolder(const std::string& path);
// Whether two existing paths lie on one file system (one volume); true when either is unknown.
bool SameVolume(const std::string& a, const std::string& b);
// What a folder holds, names as bytes, in the order the file system gives them, without "."
// and ".."; at most maxEntries. Empty when the folder cannot be read.
struct FolderEntry {
    std::string name;
    bool folder = false;  // a folder, or a link to one
};
std::vector<FolderEntry> ListFolder(const std::string& path, std::size_t maxEntries);
// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolder(const std::string& path);
bool RemoveFile(const std::string& path);

// Full path of the loaded module (the plug-in library or the executable) that holds this code.
std::string ModulePath();
// Keeps that module loaded until the process ends, whatever the host unloads later, so that a
// thread of ours that was given up (one held in a read that does not end) keeps its code; the
// module's statics then go at process exit. Idempotent; ModulePinned tells whether it happened.
void PinModule();
bool ModulePinned();
// What the plug-in's entry does for its module. Windows unloads a DLL under its loader lock,
// where joining one of the module's threads hangs (a thread needs the lock to end): there the
// module is pinned at once. Elsewhere nothing: dlclose runs the statics without holding a lock
// that ending threads need, so the library unloads as hosts expect.
void PinModuleAtEntry();
// Whether the process is ending with the module still loaded: on Windows the system has then
// stopped every other thread wherever it was, inside a lock maybe, before the module's statics
// go. The module's entry tells (MarkProcessEnding); elsewhere the statics go while the threads
// still run, and it stays false.
bool ProcessEnding();
void MarkProcessEnding();

// A path from a root: "/..." here, "C:\..." or "\\server\..." on Windows (where "/" separates
// too).
bool IsAbsolutePath(std::string_view path);
bool IsPathSeparator(char c);
// The folder of an absolute path (its root keeps its separator: "/", "C:\"), and the name after
// it; the folder is empty when the path has no separator.
std::string_view FolderOf(std::string_view path);
// What follows the path's last separator (the whole path when it has none).
std::string_view NameOf(std::string_view path);
// Joins two path pieces with exactly one separator between them.
std::string JoinPath(std::string_view folder, std::string_view name);

// Files addressed by offset: no shared file pointer, 64-bit sizes and offsets.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Only regular files (files on disk) are files here, and opening one never waits for another
// party: a named pipe, a device or a folder under the path is refused at once. A slow disk can
// still make a read take long; what reads files runs on threads of its own.
//
// An existing regular file, read only (shared for reading).
FileHandle OpenFileRead(const std::string& path);
// A new or truncated regular file, write only.
FileHandle CreateFileWrite(const std::string& path);
// An existing regular file, for reading and writing.
FileHandle OpenFileUpdate(const std::string& path);

// A seam for tests of reads that do not end: a program that exports
// `extern "C" void MarletFileOpening(const char* path)` gets it called before every file is
// opened for reading, also from a plug-in library it loaded (it is looked up once, by name, in
// the whole process). It may block, standing in for a disk that does not answer. Hosts have no
// such function, and nothing happens.
inline constexpr const char* kFileOpeningHook = "MarletFileOpening";
// The same for the disk thread's reads of an open file: a program that exports
// `extern "C" void MarletFileReading(const char* path)` gets it called (through
// AnnounceFileReading) before each read of streamed sample data, and may hold it there.
inline constexpr const char* kFileReadingHook = "MarletFileReading";
void AnnounceFileReading(const std::string& path);
void CloseFile(FileHandle file);
// Size in bytes, -1 on failure.
std::int64_t FileSize(FileHandle file);
// Reads up to n bytes at offset; fewer only at the end of the file. -1 on an error.
std::int64_t ReadFileAt(FileHandle file, std::int64_t offset, void* dst, std::int64_t n);
// Writes all n bytes at offset; returns n, or -1 on an error.
std::int64_t WriteFileAt(FileHandle file, std::int64_t offset, const void* src, std::int64_t n);

// Reads a whole file of at most maxBytes; false when missing, unreadable or larger.
bool ReadWholeFile(const std::string& path, std::vector<std::byte>& bytes, std::size_t maxBytes);
// Replaces the file's contents all at once: a new file beside it, flushed, then renamed over it.
bool ReplaceFileContents(const std::string& path, std::span<const std::byte> bytes);
bool FileExists(const std::string& path);
// A C stream (fopen's modes) on a file named in UTF-8; nullptr when it cannot be opened. Like
// the files above it never waits for a reader or writer: a named pipe is refused.
std::FILE* OpenStream(const std::string& path, const char* mode);

// The process environment in UTF-8: nullopt when the variable is unset; SetEnv with nullopt
// removes it.
std::optional<std::string> GetEnv(const std::string& name);
bool SetEnv(const std::string& name, const std::optional<std::string>& value);

// Memory for large stores (sample preloads) straight from the OS, zero-filled; where the OS gives
// large pages on request, it gets them, so that touching the store for the first time costs one
// fault per large page instead of one per small page. nullptr when the memory cannot be had.
void* AllocateLarge(std::size_t bytes);
// Gives back what AllocateLarge gave for the same number of bytes.
void FreeLarge(void* memory, std::size_t bytes);
// The deleter for owning pointers to such memory.
struct LargeFree {
    std::size_t bytes = 0;
    void operator()(void* memory) const { FreeLarge(memory, bytes); }
};

struct MemoryStatus {
    std::uint64_t totalBytes = 0;
    std::uint64_t availableBytes = 0;
};
// Physical memory of the machine: total, and what is available without swapping.
MemoryStatus PhysicalMemory();

}  // namespace platform
