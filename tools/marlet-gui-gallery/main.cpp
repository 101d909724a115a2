// marlet-gui-gallery --out DIR: pictures of the skin, the fonts, the drawing primitives and the
// GUI controls, and a mock of the editor, written as PNG files for people to look at.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "tools/marlet-gui-gallery/EditorMock.h"
#include "tools/marlet-gui-gallery/FrameworkSheet.h"
#include "tools/marlet-gui-gallery/SkinSheet.h"

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
        std::fprintf(stderr, "usage: marlet-gui-gallery --out DIR\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (!gallery::WriteSkinSheets(out) || !gallery::WriteFrameworkSheets(out) ||
        !gallery::WriteEditorMock(out)) {
        std::fprintf(stderr, "marlet-gui-gallery: cannot write into %s\n", out.c_str());
        return 1;
    }
    std::printf("marlet-gui-gallery: pictures in %s\n", out.c_str());
    return 0;
}
