#include "tools/marlet-skin/OutFolder.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

std::optional<std::string> OutFolder(int argc, char** argv, const char* program)
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
        std::fprintf(stderr, "usage: %s --out DIR\n", program);
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::create_directories(out, error);
    return out;
}
