#include "platform/Platform.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace platform {

std::uint32_t TickCount()
{
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

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
    std::ifstream in(JoinPath(UserConfigFolder(), "user-dirs.dirs"));
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

std::string UserConfigFolder() { return EnvFolder("XDG_CONFIG_HOME", ".config"); }

std::string CommonAppDataFolder() { return EnvFolder("XDG_DATA_HOME", ".local/share"); }

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

bool RemoveFile(const std::string& path) { return !path.empty() && unlink(path.c_str()) == 0; }

std::string ModulePath()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) != 0 && info.dli_fname)
        return info.dli_fname;
    return {};
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    while (!name.empty() && name.front() == kPathSeparator) name.remove_prefix(1);
    if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
    path += name;
    return path;
}

}  // namespace platform
