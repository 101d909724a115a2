// marlet-skin --out DIR: draws every skin picture and writes it as DIR/<name>.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "tools/marlet-skin/SkinArt.h"
#include "tools/marlet-skin/SkinPng.h"

int main(int argc, char** argv)
{
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            out = argv[++i];
        } else {
            out.clear();
            break;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: marlet-skin --out DIR\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(out, error);
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
