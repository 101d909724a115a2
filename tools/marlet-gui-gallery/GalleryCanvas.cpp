#include "tools/marlet-gui-gallery/GalleryCanvas.h"

#include <filesystem>
#include <vector>

#include "gui/XPic.h"
#include "platform/FourCC.h"
#include "tools/marlet-skin/SkinPng.h"

GalleryCanvas::GalleryCanvas(int width, int height, XColor background)
{
    g_.Begin(nullptr, width, height);
    g_.SetFillColor(background);
    g_.FillRect(0, 0, width, height);
}

void GalleryCanvas::Heading(std::string_view text, int x, int y)
{
    g_.SetFont(FourCC("xfhg"));
    g_.SetTextColor(kHeading);
    g_.Text(text, x, y + 3);
}

void GalleryCanvas::Caption(std::string_view text, int x, int y, XColor c)
{
    g_.SetFont(FourCC("xfdf"));
    g_.SetTextColor(c);
    g_.Text(text, x, y + 3);
}

void GalleryCanvas::DrawScaled(const XPic& pic, int x, int y, int scale)
{
    if (scale <= 1) {
        g_.DrawPic(pic, x, y);
        return;
    }
    for (int py = 0; py < pic.Height(); ++py) {
        for (int px = 0; px < pic.Width(); ++px) {
            if (pic.IsMasked(px, py)) continue;
            g_.SetFillColor(XColor::FromPixel(pic.PixelAt(px, py)));
            g_.FillRect(x + px * scale, y + py * scale, scale, scale);
        }
    }
}

XPic GalleryCanvas::Crop(const XRect& area) const
{
    std::vector<std::uint32_t> pixels;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) pixels.push_back(g_.PixelAt(x, y));
    }
    return XPic::FromPixels(area.Width(), area.Height(), pixels);
}

bool GalleryCanvas::Save(const std::string& dir, std::string_view name) const
{
    const auto path = std::filesystem::path(dir) / std::string(name);
    return SkinPng::Write(path.string(), SkinPng::Encode(g_.Pixels(), g_.Width(), g_.Height()));
}
