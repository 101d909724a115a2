// A slider drawn as a thumb on a track: vertical when narrower than tall (upwards increases),
// else horizontal. Transparent unless given a background: its parent shows through around the
// thumb. An optional fill runs from a reference value to the thumb (a bipolar tune fader fills
// from its centre).
#pragma once

#include <string_view>

#include "gui/XPic.h"
#include "gui/XSlider.h"

class XFader : public XSlider {
public:
    // Thumbs without a picture are this long.
    static constexpr int kThumbLength = 12;

    XFader();
    XFader(int x, int y, int width, int height);

    // The thumb's picture; the travel becomes the length less the picture's. False when it did
    // not load (the plain thumb stays).
    bool SetThumb(std::string_view name);
    const XPic& Thumb() const { return thumb_; }
    // Makes the fader opaque: filled with the colour, with a grooved track through the middle.
    void SetBackground(XColor color);
    // A fill from the reference value to the thumb in `color` (transparent: none).
    void SetFill(XColor color, double reference);
    bool IsVertical() const { return vertical_; }
    // The thumb's length along the track.
    int ThumbLength() const;
    // The thumb's rectangle at the current value.
    XRect ThumbRect() const;

    void Draw(XGraphic* g) override;
    void Placed() override { Layout(); }
    void Resized() override { Layout(); }

private:
    // Orientation and travel from the size and the thumb.
    void Layout();
    // Offset of the thumb's leading edge along the track at a fraction.
    int ThumbOffset(double fraction) const;

    XPic thumb_;
    bool vertical_ = false;
    XColor fillColor_;
    double reference_ = 0;
};
