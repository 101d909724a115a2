// Writes 8-bit RGB pixels as a PNG file (the editor command's snapshots).
#pragma once

#include <cstdint>
#include <span>
#include <string>

class PngWriter {
public:
    // `rgb` holds width * height * 3 bytes, rows top to bottom. Throws std::runtime_error when
    // the file cannot be written.
    static void Write(const std::string& path, int width, int height,
                      std::span<const std::uint8_t> rgb);
};
