// marlet-skin --out DIR: draws every skin picture and writes it as DIR/<name>.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "tools/marlet-skin/OutFolder.h"
#include "tools/marlet-skin/SkinArt.h"
#include "tools/marlet-skin/SkinPng.h"

int main(int argc, char** argv)
{
    const std::optional<std::string> folder = OutFolder(argc, argv, "marlet-skin");
    if (!folder) return 2;
    const std::string& out = *folder;
    int written = 0;
    for (const SkinBitmap& bitmap : SkinArt::DrawAll()) {
        const std::string path = (std::filesystem::path(out) / bitmap.name).string();
        if (!SkinPng::Write(path, SkinPng::Encode(bitmap))) {
            std::fprintf(stderr, "marlet-skin: cannot write %s\n", path.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("marlet-skin: %d pictures in %s\n", written, out.c_str());
    return 0;
}
