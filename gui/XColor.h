// An RGBA colour. Alpha only decides whether fills draw at all: a colour with alpha 0 is
// transparent and fills with it draw nothing; every other alpha draws the colour opaque.
#pragma once

#include <cstdint>

class XColor {
public:
    constexpr XColor() = default;
    constexpr XColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255)
        : red(r), green(g), blue(b), alpha(a)
    {
    }
    // 0xRRGGBBAA.
    constexpr explicit XColor(std::uint32_t packed)
        : red(static_cast<std::uint8_t>(packed >> 24)),
          green(static_cast<std::uint8_t>(packed >> 16)),
          blue(static_cast<std::uint8_t>(packed >> 8)),
          alpha(static_cast<std::uint8_t>(packed))
    {
    }

    constexpr bool IsTransparent() const { return alpha == 0; }
    // The surface's pixel: 0x00RRGGBB.
    constexpr std::uint32_t Pixel() const
    {
        return static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 |
               blue;
    }
    // The same colour as a Windows COLORREF: red | green << 8 | blue << 16.
    constexpr std::uint32_t GdiValue() const
    {
        return red | static_cast<std::uint32_t>(green) << 8 |
               static_cast<std::uint32_t>(blue) << 16;
    }
    // Red, green and blue times `factor`, each truncated and clamped to 0..255; alpha kept.
    XColor Scaled(float factor) const;
    // Red, green and blue complemented; alpha kept.
    constexpr XColor Inverted() const
    {
        return XColor(static_cast<std::uint8_t>(255 - red), static_cast<std::uint8_t>(255 - green),
                      static_cast<std::uint8_t>(255 - blue), alpha);
    }
    // A colour from a surface pixel, opaque.
    static constexpr XColor FromPixel(std::uint32_t pixel)
    {
        return XColor(static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                      static_cast<std::uint8_t>(pixel), 255);
    }

    friend constexpr bool operator==(const XColor&, const XColor&) = default;

    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;
};
