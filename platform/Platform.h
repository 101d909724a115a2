// The operating-system layer: everything the program needs of the OS goes through here, so that
// another OS is a new implementation of this interface, not a fork of the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolder(const std::string& path);
bool RemoveFile(const std::string& path);

// Full path of the loaded module (the plug-in library or the executable) that holds this code.
std::string ModulePath();

// Joins two path pieces with exactly one separator between them.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace platform
