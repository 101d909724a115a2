#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testsupport {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "marlet-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : name_(std::move(name))
{
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (previous_)
        setenv(name_.c_str(), previous_->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

IsolatedHome::IsolatedHome()
    : home_("HOME", folder_.Path()),
      desktop_("XDG_DESKTOP_DIR", folder_.File("Desktop")),
      data_("XDG_DATA_HOME", folder_.File("data")),
      config_("XDG_CONFIG_HOME", folder_.File("config"))
{
    std::filesystem::create_directories(Desktop());
}

std::vector<char> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteFileBytes(const std::string& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(path, ec))
        names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace testsupport
