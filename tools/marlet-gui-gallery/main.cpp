// marlet-gui-gallery --out DIR: pictures of the skin, the fonts, the drawing primitives and the
// GUI controls, and a mock of the editor, written as PNG files for people to look at.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "tools/marlet-gui-gallery/EditorMock.h"
#include "tools/marlet-gui-gallery/FrameworkSheet.h"
#include "tools/marlet-gui-gallery/SkinSheet.h"
#include "tools/marlet-skin/OutFolder.h"

int main(int argc, char** argv)
{
    const std::optional<std::string> folder = OutFolder(argc, argv, "marlet-gui-gallery");
    if (!folder) return 2;
    const std::string& out = *folder;
    if (!gallery::WriteSkinSheets(out) || !gallery::WriteFrameworkSheets(out) ||
        !gallery::WriteEditorMock(out)) {
        std::fprintf(stderr, "marlet-gui-gallery: cannot write into %s\n", out.c_str());
        return 1;
    }
    std::printf("marlet-gui-gallery: pictures in %s\n", out.c_str());
    return 0;
}
