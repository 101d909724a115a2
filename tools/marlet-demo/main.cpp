// marlet-demo FOLDER: writes the demo bank (demo.gig) and the demo phrase (demo.mid) into
// FOLDER, for the root script's demo command.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "tools/marlet-demo/DemoInstrument.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: marlet-demo FOLDER\n");
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        std::filesystem::create_directories(folder);
        testsupport::GigWriter(demo::DemoBank()).Write((folder / "demo.gig").string());
        const auto midi = demo::DemoPhrase();
        std::ofstream out(folder / "demo.mid", std::ios::binary);
        out.write(reinterpret_cast<const char*>(midi.data()),
                  static_cast<std::streamsize>(midi.size()));
        if (!out) throw std::runtime_error("cannot write demo.mid");
        // string(): a path holds wide characters on Windows.
        std::printf("%s\n%s\n", (folder / "demo.gig").string().c_str(),
                    (folder / "demo.mid").string().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "marlet-demo: %s\n", e.what());
        return 1;
    }
}
