// A tool tip: a short text in a small box near the pointer. It holds the window it shows in
// (0 while none), its text and its font; the window backend decides where it appears and asks
// it for its size and picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gui/XRect.h"

class XGraphic;

class XToolTip {
public:
    // Longer texts are cut at a character boundary.
    static constexpr std::size_t kMaxText = 256;

    void SetText(std::string_view text);
    const std::string& Text() const { return text_; }
    // A predefined font identifier ('xfsm' unless set).
    void SetFont(std::int32_t font)
    {
        font_ = font;
        fontSet_ = true;
    }
    std::int32_t Font() const { return font_; }
    void SetWindow(std::uintptr_t window) { window_ = window; }
    std::uintptr_t Window() const { return window_; }

    // The box's size for the current text: (0, 0, width - 1, height - 1).
    XRect Size(XGraphic* g) const;
    // Draws the box with its top-left at (x, y).
    void Draw(XGraphic* g, int x, int y) const;

private:
    std::uintptr_t window_ = 0;
    std::string text_;
    std::int32_t font_ = 0;
    bool fontSet_ = false;
};
