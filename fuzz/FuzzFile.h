// Hands the fuzzer's bytes to a file reader: one scratch file per process, rewritten per input.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzzfile {

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

private:
    std::string path_;
};

}  // namespace fuzzfile
