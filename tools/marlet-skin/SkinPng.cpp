#include "tools/marlet-skin/SkinPng.h"

#include <fstream>

// Private to this file, so it never meets another copy of the encoder in the same program.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

void Append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<std::uint8_t> SkinPng::Encode(std::span<const std::uint32_t> pixels, int width,
                                          int height, std::span<const std::uint8_t> mask)
{
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width <= 0 || height <= 0 || pixels.size() != count ||
        (!mask.empty() && mask.size() != count)) {
        return {};
    }
    const int channels = mask.empty() ? 3 : 4;
    std::vector<std::uint8_t> raw(count * channels);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = raw.data() + i * channels;
        p[0] = static_cast<std::uint8_t>(pixels[i] >> 16);
        p[1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        p[2] = static_cast<std::uint8_t>(pixels[i]);
        if (channels == 4) p[3] = mask[i] ? 255 : 0;
    }
    std::vector<std::uint8_t> png;
    if (!stbi_write_png_to_func(Append, &png, width, height, channels, raw.data(),
                                width * channels)) {
        return {};
    }
    return png;
}

bool SkinPng::Write(const std::string& path, std::span<const std::uint8_t> png)
{
    if (png.empty()) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}
