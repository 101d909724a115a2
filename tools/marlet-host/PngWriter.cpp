#include "tools/marlet-host/PngWriter.h"

#include <stdexcept>
#include <vector>

#include "tools/marlet-host/BinaryFile.h"

// Private copy of the writer: the GUI's test support carries its own.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

void PngWriter::Write(const std::string& path, int width, int height,
                      std::span<const std::uint8_t> rgb)
{
    if (width <= 0 || height <= 0 ||
        rgb.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        throw std::runtime_error("no pixels to write to " + path);
    // Encoded in memory and written as the host writes its other files, so paths behave alike.
    std::vector<std::uint8_t> png;
    const auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(context);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size);
    };
    if (!stbi_write_png_to_func(append, &png, width, height, 3, rgb.data(), width * 3))
        throw std::runtime_error("cannot encode the picture for " + path);
    try {
        binaryfile::Write(path, png);
    } catch (const std::runtime_error&) {
        throw std::runtime_error("cannot write " + path);
    }
}
