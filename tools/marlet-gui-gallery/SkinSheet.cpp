#include "tools/marlet-gui-gallery/SkinSheet.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gui/XGraphic.h"
#include "gui/XPic.h"
#include "tools/marlet-gui-gallery/GalleryCanvas.h"
#include "tools/marlet-skin/SkinArt.h"

namespace gallery {

namespace {

// Small pictures are shown four times and eight times enlarged too.
bool IsSmall(const SkinEntry& e)
{
    return e.width <= 40 && e.height <= 40;
}

bool WritePictures(const std::string& dir)
{
    constexpr int kWidth = 1680, kHeight = 1240;
    GalleryCanvas c(kWidth, kHeight);
    c.Heading("Skin pictures", 16, 12);
    c.Caption(
        "Each at its own size; the small ones also at 4x and 8x (masked pixels show the "
        "gallery's background).",
        16, 34);
    // The large pictures in a column on the left, at their size.
    int y = 60;
    for (const SkinEntry& e : SkinArt::Entries()) {
        if (IsSmall(e) || e.width < 100) continue;
        XPic pic(e.name);
        c.Caption(std::string(e.name) + "  " + std::to_string(e.width) + " x " +
                      std::to_string(e.height) + (pic.IsLoaded() ? "" : "  (missing)"),
                  16, y);
        c.DrawScaled(pic, 16, y + 16, 1);
        y += 16 + e.height + 14;
    }
    // The toolbar buttons at 2x.
    int x = 16;
    c.Caption("toolbar buttons at 2x", 16, y);
    y += 16;
    for (const SkinEntry& e : SkinArt::Entries()) {
        if (e.width != 60 || e.height != 44) continue;
        c.DrawScaled(XPic(e.name), x, y, 2);
        x += 124;
        if (x + 120 > 850) {
            x = 16;
            y += 92;
        }
    }
    // The small pictures in a grid on the right.
    x = 860;
    y = 60;
    for (const SkinEntry& e : SkinArt::Entries()) {
        if (!IsSmall(e)) continue;
        XPic pic(e.name);
        const int rowHeight = std::max(e.height * 8, 16) + 24;
        if (y + rowHeight > kHeight) break;
        c.Caption(std::string(e.name) + (pic.IsLoaded() ? "" : " (missing)"), x, y);
        c.DrawScaled(pic, x, y + 18, 1);
        c.DrawScaled(pic, x + 44, y + 18, 4);
        c.DrawScaled(pic, x + 44 + e.width * 4 + 12, y + 18, 8);
        const int w = 44 + e.width * 12 + 12 + 20;
        if (x + 2 * w < kWidth && e.height <= 16) {
            x += 410;
            if (x + 400 > kWidth) {
                x = 860;
                y += rowHeight;
            }
        } else {
            x = 860;
            y += rowHeight;
        }
    }
    return c.Save(dir, "skin_pictures.png");
}

bool WriteButtonStates(const std::string& dir)
{
    GalleryCanvas c(1200, 400);
    c.Heading("Toolbar buttons: idle, hover, pressed", 16, 12);
    c.Caption("idle = grey copy (saturation 0), hover = as drawn, pressed = saturation 2; 2x", 16,
              34);
    const char* const names[] {"tb_new.png",      "tb_open.png",   "tb_save.png",
                               "tb_saveas.png",   "tb_browse.png", "tb_stack.png",
                               "tb_settings.png", "tb_expand.png", "tb_reset.png"};
    int i = 0;
    for (const char* name : names) {
        XPic hover(name);
        XPic idle = hover;
        idle.Saturate(0.0f);
        XPic pressed = hover;
        pressed.Saturate(2.0f);
        const int x = 16 + (i % 3) * 396, y = 60 + (i / 3) * 112;
        c.DrawScaled(idle, x, y, 2);
        c.DrawScaled(hover, x + 124, y, 2);
        c.DrawScaled(pressed, x + 248, y, 2);
        c.Caption(name, x, y + 90);
        ++i;
    }
    return c.Save(dir, "skin_button_states.png");
}

// The browser's icons on its lists' colour: enlarged, and in a tree as the browser lays it out
// (rows of 18 pixels, 16 pixels of indent a level, the expander in the first 10 pixels of the
// indent, the icon 14 pixels in, the text after it).
bool WriteBrowserIcons(const std::string& dir)
{
    GalleryCanvas c(900, 420);
    c.Heading("Browser icons", 16, 12);
    const XColor list(50, 60, 80), text(220, 220, 190);
    XGraphic& g = c.G();
    g.SetFillColor(list);
    g.FillRect(16, 44, 868, 150);
    const char* const icons[] {"icn_comp.png", "icn_disk.png", "icn_folder.png", "icn_closed.png",
                               "icn_open.png", "icn_gig.png",  "icn_inst.png"};
    int x = 28;
    for (const char* name : icons) {
        c.DrawScaled(XPic(name), x, 56, 6);
        c.Caption(name, x, 160, text);
        x += 122;
    }
    struct Row {
        int level;
        const char* expander;
        const char* icon;
        const char* text;
        bool selected;
    };
    const Row rows[] {{0, "icn_open.png", "icn_disk.png", "Samples (D:)", false},
                      {1, "icn_open.png", "icn_folder.png", "Pianos", false},
                      {2, nullptr, "icn_gig.png", "Concert Grand.gig", true},
                      {2, nullptr, "icn_gig.png", "Upright.gig", false},
                      {1, "icn_closed.png", "icn_folder.png", "Strings", false},
                      {0, "icn_closed.png", "icn_disk.png", "System (C:)", false}};
    g.SetFillColor(list);
    g.FillRect(16, 208, 300, 4 + 18 * 6 + 6);
    int y = 212;
    for (const Row& r : rows) {
        const int indent = 20 + r.level * 16;
        if (r.selected) {
            g.SetFillColor(XColor(0, 0, 120));
            g.FillRect(indent + 14, y, 200, 18);
        }
        if (r.expander) g.DrawPic(XPic(r.expander), indent, y + 1);
        g.DrawPic(XPic(r.icon), indent + 14, y + 1);
        c.Caption(r.text, indent + 34, y + 2, text);
        y += 18;
    }
    g.SetFillColor(list);
    g.FillRect(340, 208, 260, 4 + 18 * 3 + 6);
    g.DrawPic(XPic("icn_comp.png"), 344, 213);
    c.Caption("Computer", 366, 214, text);
    g.DrawPic(XPic("icn_folder.png"), 344, 231);
    c.Caption("My Instruments", 366, 232, text);
    g.DrawPic(XPic("icn_inst.png"), 344, 249);
    c.Caption("Grand Piano Hard", 366, 250, text);
    return c.Save(dir, "skin_browser_icons.png");
}

// Parts of the large pictures at 4x, where their pixels can be judged.
bool WriteDetails(const std::string& dir)
{
    GalleryCanvas c(1660, 1230);
    c.Heading("Details at 4x", 16, 12);
    const auto part = [&](const char* name, const XRect& area, int x, int y) {
        XGraphic g;
        const XPic pic(name);
        g.Begin(nullptr, pic.Width(), pic.Height());
        g.DrawPic(pic, 0, 0);
        std::vector<std::uint32_t> pixels;
        for (int py = area.top; py <= area.bottom; ++py) {
            for (int px = area.left; px <= area.right; ++px) pixels.push_back(g.PixelAt(px, py));
        }
        c.Caption(
            std::string(name) + " " + std::to_string(area.left) + ".." + std::to_string(area.right),
            x, y);
        c.DrawScaled(XPic::FromPixels(area.Width(), area.Height(), pixels), x, y + 16, 4);
    };
    part("view_top.png", XRect(0, 0, 199, 24), 16, 40);
    part("view_top.png", XRect(200, 0, 399, 24), 836, 40);
    part("view_bot.png", XRect(0, 0, 199, 69), 16, 160);
    part("view_bot.png", XRect(500, 0, 699, 69), 836, 160);
    part("view_part.png", XRect(150, 0, 349, 19), 16, 460);
    part("tb_back.png", XRect(0, 0, 199, 48), 836, 460);
    part("keyboard.png", XRect(0, 0, 199, 79), 16, 680);
    part("key_pane.png", XRect(600, 0, 799, 87), 836, 640);
    part("tb_marlet.png", XRect(0, 0, 141, 38), 16, 1030);
    part("tb_saveas.png", XRect(0, 0, 59, 43), 620, 1030);
    part("tb_settings.png", XRect(0, 0, 59, 43), 880, 1030);
    part("tb_reset.png", XRect(0, 0, 59, 43), 1140, 1030);
    return c.Save(dir, "skin_details.png");
}

}  // namespace

bool WriteSkinSheets(const std::string& dir)
{
    return WritePictures(dir) && WriteButtonStates(dir) && WriteBrowserIcons(dir) &&
           WriteDetails(dir);
}

}  // namespace gallery
