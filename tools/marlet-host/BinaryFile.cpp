#include "tools/marlet-host/BinaryFile.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace binaryfile {

std::vector<std::uint8_t> Read(const std::string& path, std::size_t maxBytes)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) throw std::runtime_error(path + ": no such file");
    if (!std::filesystem::is_regular_file(status))
        throw std::runtime_error(path + ": not a regular file");
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) throw std::runtime_error(path + ": cannot read its size");
    if (size > maxBytes)
        throw std::runtime_error(path + ": too large (" + std::to_string(size) +
                                 " bytes, at most " + std::to_string(maxBytes) + ")");

    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in || in.gcount() != static_cast<std::streamsize>(bytes.size()))
        throw std::runtime_error(path + ": cannot read");
    return bytes;
}

void Write(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error(path + ": cannot write");
}

}  // namespace binaryfile
