#include "tools/marlet-skin/SkinArt.h"

#include <algorithm>
#include <array>

#include "tools/marlet-skin/ControlArt.h"
#include "tools/marlet-skin/IconArt.h"
#include "tools/marlet-skin/KeyboardArt.h"
#include "tools/marlet-skin/ToneViewArt.h"
#include "tools/marlet-skin/ToolbarArt.h"

namespace {

constexpr std::array<SkinEntry, 32> kEntries {{
    {"fad_cur.png", 9, 15},     {"icn_closed.png", 16, 16},  {"icn_comp.png", 16, 16},
    {"icn_disk.png", 16, 16},   {"icn_folder.png", 16, 16},  {"icn_gig.png", 16, 16},
    {"icn_inst.png", 16, 16},   {"icn_open.png", 16, 16},    {"keyboard.png", 781, 80},
    {"key_pane.png", 800, 88},  {"led_off.png", 15, 16},     {"led_on.png", 15, 16},
    {"pot_grey.png", 33, 33},   {"tb_back.png", 800, 49},    {"tb_browse.png", 60, 44},
    {"tb_expand.png", 60, 44},  {"tb_settings.png", 60, 44}, {"tb_stack.png", 60, 44},
    {"tb_new.png", 60, 44},     {"tb_open.png", 60, 44},     {"tb_reset.png", 60, 44},
    {"tb_save.png", 60, 44},    {"tb_saveas.png", 60, 44},   {"tb_marlet.png", 142, 39},
    {"tog_close.png", 13, 13},  {"tog_open.png", 13, 13},    {"vcf_off.png", 12, 31},
    {"vcf_on.png", 12, 31},     {"view_bot.png", 767, 70},   {"view_part.png", 737, 20},
    {"view_slot.png", 767, 25}, {"view_top.png", 767, 25},
}};

}  // namespace

std::span<const SkinEntry> SkinArt::Entries()
{
    return kEntries;
}

std::vector<SkinBitmap> SkinArt::DrawAll()
{
    std::vector<SkinBitmap> drawn;
    skinart::AddToolbarArt(drawn);
    skinart::AddToneViewArt(drawn);
    skinart::AddControlArt(drawn);
    skinart::AddIconArt(drawn);
    skinart::AddKeyboardArt(drawn);
    // In the order of the table; a family that drew nothing for a name leaves it out.
    std::vector<SkinBitmap> ordered;
    for (const SkinEntry& entry : kEntries) {
        auto it = std::find_if(drawn.begin(), drawn.end(),
                               [&](const SkinBitmap& b) { return b.name == entry.name; });
        if (it != drawn.end()) ordered.push_back(std::move(*it));
    }
    return ordered;
}
