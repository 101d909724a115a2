#include "gui/XKeyboard.h"

#include <algorithm>
#include <vector>

#include "gui/XCodes.h"
#include "gui/XGraphic.h"

namespace {

// The keys drawn by code when the skin has no keyboard: ivory keys with a dark seam and
// black keys with a lighter face, on the same geometry as the picture.
XPic PlainKeysPicture()
{
    constexpr int w = XKeyboard::kPictureWidth;
    constexpr int h = XKeyboard::kPictureHeight;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h, 0xE8E6E0);
    auto put = [&](int x, int y, std::uint32_t c) {
        if (x >= 0 && x < w && y >= 0 && y < h) px[static_cast<std::size_t>(y) * w + x] = c;
    };
    for (int note = XKeyboard::kFirstNote; note <= XKeyboard::kLastNote; ++note) {
        const int left = XKeyboard::KeyLeft(note);
        if (XKeyboard::IsBlackKey(note)) continue;
        for (int y = 0; y < h; ++y) put(left, y, 0x3A3A40);
        for (int x = left + 1; x < left + XKeyboard::kWhiteWidth; ++x) {
            for (int y = h - 4; y < h; ++y) put(x, y, y == h - 1 ? 0x9A9890 : 0xCFCDC6);
        }
    }
    for (int note = XKeyboard::kFirstNote; note <= XKeyboard::kLastNote; ++note) {
        if (!XKeyboard::IsBlackKey(note)) continue;
        const int left = XKeyboard::KeyLeft(note);
        for (int x = left; x < left + XKeyboard::kBlackWidth; ++x) {
            for (int y = 0; y < XKeyboard::kBlackLength; ++y) {
                const bool face = x > left && x < left + XKeyboard::kBlackWidth - 1 &&
                                  y < XKeyboard::kBlackLength - 6;
                put(x, y, face ? 0x34343A : 0x16161A);
            }
        }
    }
    for (int x = 0; x < w; ++x) put(x, 0, 0x202024);
    return XPic::FromPixels(w, h, px);
}

}  // namespace

XKeyboard::XKeyboard(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor());
    SetPicture(XPic("keyboard.png"));
}

XKeyboard::~XKeyboard()
{
    if (playing_ >= 0) Send(playing_, 0);
}

XPic XKeyboard::PlainPicture()
{
    return PlainKeysPicture();
}

void XKeyboard::SetPicture(const XPic& source)
{
    const XPic pic = source.IsLoaded() ? source : PlainKeysPicture();
    base_ = pic;
    base_.Brighten(0.4f);
    playable_ = pic;
    switch_ = pic;
    switch_.Tint(XColor(0, 30, 70), 0.7f);
    held_ = pic;
    held_.Tint(XColor(90, 40, 0), 0.72f);
    Invalidate();
}

bool XKeyboard::IsBlackKey(int note)
{
    const int n = ((note % 12) + 12) % 12;
    return n == 1 || n == 3 || n == 6 || n == 8 || n == 10;
}

int XKeyboard::KeyLeft(int note)
{
    static constexpr std::array<int, 12> kOffset {0, 11, 15, 26, 30, 45, 56, 60, 71, 75, 86, 90};
    note = std::clamp(note, 0, 127);
    return -75 + kOctaveWidth * (note / 12 - 1) + kOffset[static_cast<std::size_t>(note % 12)];
}

bool XKeyboard::NoteAt(int x, int y, int height, int& note, int& velocity)
{
    if (y < 0 || y >= height || x < 0) return false;
    if (y < kBlackLength) {
        for (int n = kFirstNote; n <= kLastNote; ++n) {
            const int left = KeyLeft(n);
            if (IsBlackKey(n) && x >= left && x < left + kBlackWidth) {
                note = n;
                velocity = y * 126 / (kBlackLength - 1);
                // Velocity 0 would be a note-off: the weakest press still plays.
                velocity = std::clamp(velocity, 1, 127);
                return true;
            }
        }
    }
    const int white = x / kWhiteWidth;  // white keys from A0
    static constexpr std::array<int, 7> kFromA {0, 2, 3, 5, 7, 8, 10};
    const int n = kFirstNote + 12 * (white / 7) + kFromA[static_cast<std::size_t>(white % 7)];
    if (n > kLastNote) return false;
    note = n;
    velocity = std::clamp(height > 1 ? y * 126 / (height - 1) : 126, 1, 127);
    return true;
}

void XKeyboard::SetRanges(int low, int high, int switchLow, int switchHigh)
{
    low_ = std::clamp(low, kFirstNote, kLastNote);
    high_ = std::clamp(high, kFirstNote, kLastNote);
    switchLow_ = std::clamp(switchLow, kFirstNote, kLastNote);
    switchHigh_ = std::clamp(switchHigh, kFirstNote, kLastNote);
    // A switch range given as nothing (0, 0 or high below low) stays empty after clamping.
    if (switchHigh < switchLow || switchHigh < kFirstNote) switchHigh_ = switchLow_ - 1;
    if (high < low) high_ = low_ - 1;
    Invalidate();
}

void XKeyboard::SetKeyHeld(int note, bool on)
{
    if (note < 0 || note > 127 || heldKeys_[static_cast<std::size_t>(note)] == on) return;
    heldKeys_[static_cast<std::size_t>(note)] = on;
    Invalidate();
}

bool XKeyboard::IsKeyHeld(int note) const
{
    return note >= 0 && note <= 127 &&
           (heldKeys_[static_cast<std::size_t>(note)] || note == playing_);
}

bool XKeyboard::Playable(int note) const
{
    return (note >= low_ && note <= high_) || (note >= switchLow_ && note <= switchHigh_);
}

void XKeyboard::Send(int note, int velocity)
{
    if (XControl* parent = Parent()) parent->Command(xcode::kKeyboardNote, note, velocity);
}

bool XKeyboard::MouseDown(XMouse* mouse)
{
    int note = 0, velocity = 0;
    if (!NoteAt(mouse->LocalPressX(), mouse->LocalPressY(), Height(), note, velocity) ||
        !Playable(note)) {
        return false;
    }
    if (playing_ >= 0) Send(playing_, 0);
    pressed_ = true;
    playing_ = note;
    Invalidate();
    Send(note, velocity);
    return true;
}

void XKeyboard::MouseDrag(XMouse* mouse)
{
    if (!pressed_) return;
    int note = -1, velocity = 0;
    const bool hit = NoteAt(mouse->LocalX(), mouse->LocalY(), Height(), note, velocity);
    if (!hit || !Playable(note)) note = -1;
    if (note == playing_) return;
    // Off the keys or onto a key that does not play, the old note ends and none starts; the
    // next playable key under the pointer starts again.
    const int old = playing_;
    playing_ = note;
    Invalidate();
    if (old >= 0) Send(old, 0);
    if (playing_ >= 0) Send(playing_, velocity);
}

void XKeyboard::MouseUp(XMouse* mouse)
{
    pressed_ = false;
    if (playing_ < 0) return;
    const int old = playing_;
    playing_ = -1;
    Invalidate();
    Send(old, 0);
}

void XKeyboard::CopyKey(XGraphic* g, const XPic& from, int note) const
{
    const int x = KeyLeft(note);
    if (IsBlackKey(note)) {
        g->DrawPicPart(from, x, 0, kBlackWidth, kBlackLength, x, 0);
        return;
    }
    // The white key's tip, and its upper part where no black key covers it.
    g->DrawPicPart(from, x, kBlackLength, kWhiteWidth, kPictureHeight - kBlackLength, x,
                   kBlackLength);
    int left = x, right = x + kWhiteWidth;
    if (note > kFirstNote && IsBlackKey(note - 1)) left = x + 4;
    if (note < kLastNote && IsBlackKey(note + 1)) right = x + 11;
    g->DrawPicPart(from, left, 0, right - left, kBlackLength, left, 0);
}

void XKeyboard::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->DrawPic(base_, 0, 0);
    for (int pass = 0; pass < 2; ++pass) {
        for (int note = kFirstNote; note <= kLastNote; ++note) {
            if (IsBlackKey(note) != (pass == 1)) continue;
            if (IsKeyHeld(note)) {
                CopyKey(g, held_, note);
            } else if (note >= switchLow_ && note <= switchHigh_) {
                CopyKey(g, switch_, note);
            } else if (note >= low_ && note <= high_) {
                CopyKey(g, playable_, note);
            }
        }
    }
}
