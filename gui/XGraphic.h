// The drawing surface every control's Draw receives: a 32-bit pixel buffer (0x00RRGGBB,
// row-major, stride = width), an origin and a clip set per control by the drawing pass, a fill
// colour, a pen, a text colour and a font, and the primitives below.
//
// Geometry is GDI's: XRect corners are inclusive, FillRect(x, y, w, h) fills w x h pixels,
// LineTo leaves out its end pixel and Line draws it, polygons fill in alternate (even-odd)
// mode with their right and bottom edges left out. All coordinates are relative to the
// origin. Whatever falls outside the surface or the clip is not drawn; sizes of zero or less
// draw nothing.
//
// Colours: fills (FillRect and the fills of RoundFill, BevelRect, LcdBox, HeaderBar and
// FillPolygon) draw nothing in a transparent colour (alpha 0); lines, frames, gradients and
// text draw the colour's red, green and blue whatever its alpha, as GDI's pens do.
//
// The surface belongs to one thread at a time (the GUI thread that draws the window).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "gui/XColor.h"
#include "gui/XRect.h"
#include "platform/QelLog.h"

class XFont;
class XPic;
class XRegn;

// Where a finished picture goes: the window backend (an X11 image or a Windows DIB) or a test's
// recorder.
class XTarget {
public:
    virtual ~XTarget() = default;
    virtual void Put(const std::uint32_t* pixels, int width, int height, int x, int y) = 0;
};

class XGraphic : public QelLog {
public:
    // Surfaces beyond these sizes are refused (the surface becomes empty).
    static constexpr int kMaxSide = 16384;
    static constexpr std::int64_t kMaxPixels = 64ll * 1024 * 1024;

    XGraphic();
    ~XGraphic() override;
    XGraphic(const XGraphic&) = delete;
    XGraphic& operator=(const XGraphic&) = delete;

    // --- Life cycle

    // Prepares the back buffer for `target` at width x height. The pixels are kept when the
    // size is unchanged (untouched controls keep their pixels between passes); a new size
    // gives a new buffer, black. Resets the origin, the clip (whole surface) and the text
    // alignment (centred).
    void Begin(XTarget* target, int width, int height);
    // Hands the whole buffer to the target at (0, 0).
    void Present();
    // An off-screen image of the rectangle's size (drag images); EndImage hands it to the
    // target at the rectangle's position.
    void BeginImage(const XRect& rect, XTarget* target);
    void EndImage();

    // Called by the drawing pass before a control's Draw: the origin becomes the control's
    // top-left (surface coordinates) and drawing is clipped to `clip` (surface coordinates)
    // unless clipping is off. Resets the text alignment to centred.
    void SetClip(const XRect& control, const XRect& clip);
    // Moves the origin by (-dx, -dy); the clip stays where it is on the surface.
    void Translate(int dx, int dy);
    // With clipping off, SetClip clips to the surface only.
    void SetClippingOff(bool off) { clippingOff_ = off; }
    bool ClippingOff() const { return clippingOff_; }

    // --- Primitives

    void SetFillColor(XColor c) { fillColor_ = c; }
    XColor FillColor() const { return fillColor_; }
    void FillRect(int x, int y, int w, int h);

    void SetPen(XColor c) { penColor_ = c; }
    XColor Pen() const { return penColor_; }
    void MoveTo(int x, int y);
    // From the pen position to (x, y), leaving out (x, y); the pen moves there.
    void LineTo(int x, int y);
    // From (x1, y1) to (x2, y2) including both ends.
    void Line(int x1, int y1, int x2, int y2);

    void Frame(const XRect& rect, XColor c);
    // A sunken outline 1 pixel inside the rectangle: left and top in c, right and bottom in c
    // scaled by 1.2.
    void InsetFrame(const XRect& rect, XColor c);
    // Fills the rectangle with c (unless transparent), then |depth| times draws the left and
    // top edges in c scaled by 1.3 and the right and bottom edges in c scaled by 0.7,
    // shrinking the rectangle by 1 each time.
    void BevelRect(const XRect& rect, XColor c, int depth);
    // Two raised bevels of depth 1, the second 2 pixels inside the first (knobs and dots).
    void DoubleBevel(const XRect& rect, XColor c);
    // A rectangle with cut corners.
    void RoundFill(const XRect& rect, XColor c);
    // A vertical gradient from c1 on the top row to c2 towards the bottom.
    void Gradient(const XRect& rect, XColor c1, XColor c2);
    void Gloss(const XRect& rect, XColor c);
    // The dark green display box.
    void LcdBox(int x, int y, int w, int h);
    // A small downward triangle, 7 pixels wide and 4 high, in the fill colour.
    void DownArrow(int x, int y);
    // Fills the rectangle with c above a 38-pixel strip with a gradient from (200, 200, 210)
    // to c, a black line across the strip's top and a (230, 230, 230) line below it.
    void HeaderBar(const XRect& rect, XColor c);
    void FillPolygon(const XRegn& regn, XColor c);
    // Lines through the points, the last point left out.
    void Polyline(const XRegn& regn, XColor c);

    // The whole picture at (x, y); a picture with a mask draws only its unmasked pixels.
    void DrawPic(const XPic& pic, int x, int y);
    // w x h pixels from (sx, sy) of the picture at (x, y), masked like DrawPic.
    void DrawPicPart(const XPic& pic, int x, int y, int w, int h, int sx, int sy);

    // --- Text (UTF-8)

    void SetTextColor(XColor c) { textColor_ = c; }
    XColor TextColor() const { return textColor_; }
    // A predefined font: 'xfdf' (11, normal), 'xfsm' (9, normal), 'xfbg' (11, bold), 'xfhg'
    // (14, bold). Other identifiers change nothing.
    void SetFont(std::int32_t id);
    // Liberation Sans (Arial's metrics) with a cell height of size + 4 pixels, bold when the
    // weight is 'bold'. Nothing happens when it is the current font; when the font cannot be
    // made the current one stays.
    void MakeFont(int size, std::int32_t weight);
    int FontSize() const { return fontSize_; }
    std::int32_t FontWeight() const { return fontWeight_; }
    // -1: the centring operations start text 4 pixels in from the left; 0: centred.
    void SetAlign(int align) { align_ = align; }
    int Align() const { return align_; }

    // The text with the top of its cell at y - 3.
    void Text(std::string_view s, int x, int y);
    // (0, 0, width, cell height - 1) of the text in the current font.
    XRect TextSize(std::string_view s);
    // Centred in (x, w) and (y, h); starts at x + 4 when it would start left of x or when
    // align is negative.
    void TextCentered(std::string_view s, int x, int y, int w, int h, int align);
    // Centred in the rectangle, or at its left + 4 when the alignment is negative or the text
    // is wider.
    void TextInRect(std::string_view s, const XRect& rect);
    // Word-wrapped lines 16 pixels apart from 2 pixels below the rectangle's top; returns the
    // height used + 12 (14 for an empty text).
    int TextWrapped(std::string_view s, const XRect& rect);

    // --- Where text went
    // When on, every text drawn from the next Begin on leaves its cell's box (surface
    // coordinates, within the clip) here. Pictures drawn by different rasterisers differ only
    // inside these boxes, so a comparison across platforms can leave them out.
    void RecordTextAreas(bool on)
    {
        recordText_ = on;
        textAreas_.clear();
    }
    std::span<const XRect> TextAreas() const { return textAreas_; }
    // Text that reaches the surface inside a picture (a drag image) is told by whoever draws
    // the picture: `area` in surface coordinates, kept within the clip, recorded when on.
    void NoteTextArea(const XRect& area);

    // --- Reading the surface (window backend, tests)

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::span<const std::uint32_t> Pixels() const { return pixels_; }
    // 0 outside the surface.
    std::uint32_t PixelAt(int x, int y) const;
    XRect SurfaceRect() const { return surface_; }
    // The origin in surface coordinates.
    int OriginX() const { return origin_.left; }
    int OriginY() const { return origin_.top; }
    // The clip in surface coordinates (within the surface; may be empty).
    XRect ClipRect() const { return clip_; }

private:
    void Resize(int width, int height);
    void ResetState();
    // Fills the rectangle given in surface coordinates (64-bit, inclusive), clipped.
    void FillSurface(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
                     std::uint32_t rgb);
    void PlotSurface(std::int64_t x, std::int64_t y, std::uint32_t rgb);
    // A line in origin coordinates from (x1, y1) to (x2, y2), the end pixel included or not.
    void DrawLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                  std::uint32_t rgb, bool lastPixel);
    void FillRectIn(const XRect& rect, XColor c);
    void DrawPicRect(const XPic& pic, std::int64_t x, std::int64_t y, int sx, int sy, int w, int h);
    void TextAt(std::string_view s, std::int64_t x, std::int64_t top);
    int TextWidth(std::string_view s);
    int TextHeight() const;

    XTarget* target_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    bool imageMode_ = false;
    XRect image_;                   // the off-screen image's rectangle on its target
    XRect surface_ {0, 0, -1, -1};  // (0, 0, width - 1, height - 1); empty before Begin
    XRect origin_ {0, 0, -1, -1};   // the control's rectangle in surface coordinates
    XRect clip_ {0, 0, -1, -1};     // surface coordinates, within the surface
    int fontSize_ = 0;
    std::int32_t fontWeight_ = 0;
    XColor textColor_ {0, 0, 0};
    XColor fillColor_;
    XColor penColor_ {0, 0, 0};
    int align_ = 0;
    bool clippingOff_ = false;
    std::int64_t penX_ = 0;
    std::int64_t penY_ = 0;
    std::shared_ptr<XFont> font_;
    bool recordText_ = false;
    std::vector<XRect> textAreas_;
};
