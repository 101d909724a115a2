// Files for the fuzz targets: one scratch file per process, rewritten per input, and a scratch
// home folder.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzzfile {

// Scratch files of every target live here.
inline constexpr const char* kFolder = "/tmp/marlet-fuzz";

// Points the user's folders at a private scratch folder for the life of the process, so that
// preferences written at exit stay out of the real home, and removes it at exit.
class ScratchHome {
public:
    ScratchHome() : path_(std::string(kFolder) + "/home-" + std::to_string(getpid()))
    {
        std::filesystem::create_directories(path_);
        setenv("HOME", path_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (path_ + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (path_ + "/.local/share").c_str(), 1);
    }
    ~ScratchHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class ScratchFile {
public:
    ScratchFile()
        : path_((std::filesystem::temp_directory_path() /
                 ("marlet-fuzz-" + std::to_string(getpid()) + ".riff"))
                    .string())
    {
    }
    ~ScratchFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }

    // Writes data, followed by zeros up to minSize.
    const std::string& Write(const std::uint8_t* data, std::size_t size, std::size_t minSize = 0)
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        for (std::size_t i = size; i < minSize; ++i) out.put('\0');
        return path_;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace fuzzfile
