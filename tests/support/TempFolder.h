// A fresh folder under /tmp for one test, removed with everything in it at the end, and a
// scoped environment variable (the platform layer finds the desktop and data folders through
// the XDG variables, so tests point them into their own folder).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Points HOME and the XDG folders (desktop, data, config) into a temporary folder.
class IsolatedHome {
public:
    IsolatedHome();
    const TempFolder& Folder() const { return folder_; }
    std::string Desktop() const { return folder_.File("Desktop"); }
    std::string Data() const { return folder_.File("data"); }

private:
    TempFolder folder_;
    ScopedEnv home_, desktop_, data_, config_;
};

std::vector<char> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const void* data, std::size_t size);
std::vector<std::string> ListFolder(const std::string& path);

}  // namespace testsupport
