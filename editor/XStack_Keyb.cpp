#include "editor/XStack_Keyb.h"

#include <algorithm>

#include "gui/XGraphic.h"
#include "gui/XKeyboard.h"

namespace {

// White keys before each key of the octave (a black key sits at the boundary after them).
constexpr int kWhitesBefore[12] {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};

constexpr XColor kWhite {250, 250, 246};
constexpr XColor kBlack {24, 24, 28};
constexpr XColor kKeyLine {120, 120, 130};
// The overlay's red (128, 0, 0) at half cover over each kind of key.
constexpr XColor kWhiteUnderSwitch {189, 125, 123};
constexpr XColor kBlackUnderSwitch {76, 12, 14};

}  // namespace

XStack_Keyb::XStack_Keyb(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor(60, 60, 70));
}

void XStack_Keyb::SetSwitchRange(int low, int high)
{
    if (low == switchLow_ && high == switchHigh_) return;
    switchLow_ = low;
    switchHigh_ = high;
    Invalidate();
}

bool XStack_Keyb::IsBlack(int key)
{
    return XKeyboard::IsBlackKey(key);
}

int XStack_Keyb::KeyLeft(int key)
{
    const int octave = key >= 0 ? key / 12 : -((11 - key) / 12);
    const int note = key - octave * 12;
    const int boundary = octave * kOctaveWidth + kWhitesBefore[note] * kWhiteWidth;
    return IsBlack(key) ? boundary - (kBlackWidth + 1) / 2 : boundary;
}

int XStack_Keyb::KeyRight(int key)
{
    return KeyLeft(key) + (IsBlack(key) ? kBlackWidth : kWhiteWidth);
}

void XStack_Keyb::Draw(XGraphic* g)
{
    XControl::Draw(g);
    const int height = Height();
    const int blackHeight = height * 3 / 5;
    for (int key = 0; key < kKeys; ++key) {
        if (IsBlack(key)) continue;
        const int left = KeyLeft(key);
        g->SetFillColor(InSwitchRange(key) ? kWhiteUnderSwitch : kWhite);
        g->FillRect(left, 0, kWhiteWidth - 1, height);
        g->SetPen(kKeyLine);
        g->Line(left + kWhiteWidth - 1, 0, left + kWhiteWidth - 1, height - 1);
    }
    for (int key = 0; key < kKeys; ++key) {
        if (!IsBlack(key)) continue;
        g->SetFillColor(InSwitchRange(key) ? kBlackUnderSwitch : kBlack);
        g->FillRect(KeyLeft(key), 0, kBlackWidth, blackHeight);
    }
}
