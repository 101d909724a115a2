// Prints where the main editor draws text, so that pictures of it from different text
// rasterisers can be compared outside those places (tests/wine/smoke.sh). The performance is
// given to a player as a host gives its state, the editor is made as the plug-in makes it, and
// once the instruments have loaded it is drawn with the text areas recorded. One line per text:
// "left top right bottom", inclusive, widened by PAD pixels on each side (default 2).
//   editor_text_areas PERFORMANCE.mrp [PAD]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "editor/GigaEditor.h"
#include "giga/GigaPlayer.h"
#include "gui/XGraphic.h"
#include "tests/gui/ControlsRig.h"
#include "tests/support/WaitFor.h"

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: editor_text_areas PERFORMANCE.mrp [PAD]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "editor_text_areas: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::vector<char> performance((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
    const int pad = argc == 3 ? std::atoi(argv[2]) : 2;

    GigaPlayer player;
    player.OnInit();
    player.KyStart();
    player.LoadFromMemory(performance.data(), performance.size());
    if (!testsupport::PollUntil([&] { return !player.IsLoading(); })) {
        std::fprintf(stderr, "editor_text_areas: the instruments did not load in %lld s\n",
                     static_cast<long long>(testsupport::WaitDeadline().count() / 1000));
        return 1;
    }
    {
        GigaEditor editor(player);
        // The ticks that take the player's news in, as the window's timer would.
        for (std::uint32_t tick = 1; tick <= 4; ++tick) editor.Idle(tick);
        XGraphic g;
        g.RecordTextAreas(true);
        controlsrig::DrawAll(editor, g);
        const XRect bounds(0, 0, editor.Width() - 1, editor.Height() - 1);
        for (const XRect& area : g.TextAreas()) {
            const XRect box = area.Inflated(pad).Intersect(bounds);
            if (!box.IsEmpty())
                std::printf("%d %d %d %d\n", box.left, box.top, box.right, box.bottom);
        }
        editor.Detach();
    }
    player.LeavePlayerList();
    return 0;
}
