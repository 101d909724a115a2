// A picture: 0x00RRGGBB pixels, row-major, and an optional mask. Pictures come from the
// embedded skin by name (XSkin), from PNG bytes, or from pixels made by code. A PNG with an
// alpha channel gives the mask: alpha below 128 is masked out and never drawn. Copies are
// independent (a button keeps its pressed and idle images as modified copies of one picture).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "gui/XColor.h"
#include "platform/QelLog.h"

class XPic : public QelLog {
public:
    XPic() = default;
    // Loads the named skin picture (the name's case is ignored); empty when it fails.
    explicit XPic(std::string_view name) { Load(name); }

    // Forgets the current picture and loads the named one from the skin. A missing or damaged
    // picture leaves the picture empty and logs one line.
    bool Load(std::string_view name);
    // The same from PNG bytes. Pictures larger than kMaxSide on a side are refused.
    bool LoadPng(std::span<const std::uint8_t> png);
    // A picture of the given pixels (0x00RRGGBB; the top byte is ignored) and, when not empty,
    // a mask of one byte per pixel (0 = masked out). Wrong sizes give an empty picture.
    static XPic FromPixels(int width, int height, std::span<const std::uint32_t> pixels,
                           std::span<const std::uint8_t> mask = {});
    void Clear();

    // Each channel becomes c * t + a * (1 - t), with a = (r + g + b) / 3: t = 0 gives grey,
    // 1 leaves the picture, 2 strengthens the colours.
    void Saturate(float t);
    // Each channel times f.
    void Brighten(float f);
    // Each channel becomes the tint's channel + channel * f.
    void Tint(XColor tint, float f);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsLoaded() const { return width_ > 0 && height_ > 0; }
    bool HasMask() const { return !mask_.empty(); }
    std::span<const std::uint32_t> Pixels() const { return pixels_; }
    // One byte per pixel, non-zero where the picture draws; empty without a mask.
    std::span<const std::uint8_t> Mask() const { return mask_; }
    // 0 outside the picture.
    std::uint32_t PixelAt(int x, int y) const;
    bool IsMasked(int x, int y) const;

    static constexpr int kMaxSide = 8192;

private:
    template <typename F>
    void ForEachChannel(F f);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::vector<std::uint8_t> mask_;
};
