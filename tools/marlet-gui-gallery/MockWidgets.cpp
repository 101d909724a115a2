#include "tools/marlet-gui-gallery/MockWidgets.h"

#include <cmath>
#include <sstream>

#include "gui/XGraphic.h"
#include "platform/FourCC.h"
#include "tools/marlet-skin/SkinLayout.h"

namespace gallery {

PicControl::PicControl(int x, int y, std::string_view name) : pic_(name)
{
    SetBounds(x, y, pic_.Width(), pic_.Height());
}

void PicControl::Draw(XGraphic* g)
{
    g->DrawPic(pic_, 0, 0);
}

MockButton::MockButton(int x, int y, int w, int h, std::string_view name, State state)
    : XControl(x, y, w, h), pic_(name)
{
    if (state == kIdle) pic_.Saturate(0.0f);
    if (state == kPressed) pic_.Saturate(2.0f);
}

void MockButton::Draw(XGraphic* g)
{
    g->DrawPic(pic_, 0, 0);
}

MockKnob::MockKnob(int x, int y, double fraction)
    : XControl(x, y, layout::kKnobSize, layout::kKnobSize),
      pic_("pot_grey.png"),
      fraction_(fraction)
{
}

void MockKnob::Draw(XGraphic* g)
{
    g->DrawPic(pic_, 0, 0);
    const double r = layout::kIndicatorRadius, c = layout::kKnobCentre;
    const double a = fraction_ * 4.712389 - 0.785398;
    const double dx = -std::cos(a), dy = -std::sin(a);
    g->SetPen(XColor(255, 255, 255));
    g->Line(static_cast<int>(c + dx * 0.4 * r), static_cast<int>(c + dy * 0.4 * r),
            static_cast<int>(c + dx * r), static_cast<int>(c + dy * r));
}

MockFader::MockFader(int x, int y, int w, int h, double fraction, double reference, XColor fill)
    : XControl(x, y, w, h), thumb_("fad_cur.png"), fraction_(fraction), reference_(reference)
{
    SetColor(0, XColor());
    SetColor(1, fill);
}

void MockFader::Draw(XGraphic* g)
{
    const int travel = Width() - thumb_.Width() - 2;
    const int thumbX = 1 + static_cast<int>(fraction_ * travel);
    const int refX = 1 + static_cast<int>(reference_ * travel) + thumb_.Width() / 2;
    const int mid = thumbX + thumb_.Width() / 2;
    const int y = Height() / 2 - 1;
    g->SetFillColor(GetColor(1));
    g->FillRect(std::min(refX, mid), y - 1, std::abs(mid - refX) + 1, 3);
    g->DrawPic(thumb_, thumbX, (Height() - thumb_.Height()) / 2);
}

MockTogLed::MockTogLed(int x, int y, int w, int h, std::string_view text, bool on, XColor onColour)
    : XControl(x, y, w, h), on_(on)
{
    SetText(text);
    SetColor(0, XColor(58, 58, 58));
    SetColor(1, onColour);
    SetColor(2, on ? XColor(20, 20, 20) : XColor(170, 170, 170));
}

void MockTogLed::Draw(XGraphic* g)
{
    const XColor c = GetColor(on_ ? 1 : 0);
    const XRect r = XRect::FromSize(0, 0, Width(), Height());
    g->BevelRect(r.Inflated(-1), c, 1);
    g->Frame(r, c.Scaled(0.6f));
    g->SetFont(FourCC("xfsm"));
    g->SetTextColor(GetColor(2));
    g->TextInRect(Text(), r);
}

MockSelect::MockSelect(int x, int y, int w, int h, std::string_view text, XColor textColour,
                       double progress)
    : XControl(x, y, w, h), progress_(progress)
{
    SetText(text);
    SetColor(0, XColor(0, 30, 0));
    SetColor(2, textColour);
    SetColor(3, XColor(60, 60, 80));
}

void MockSelect::Draw(XGraphic* g)
{
    XControl::Draw(g);
    if (progress_ > 0) {
        g->SetFillColor(XColor(200, 30, 30));
        g->FillRect(1, Height() - 3, static_cast<int>((Width() - 2) * progress_), 2);
    }
    g->MakeFont(10, 0);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width() - 10, Height(), 0);
    g->SetPen(GetColor(3));
    g->Line(Width() - 11, 1, Width() - 11, Height() - 2);
    g->SetFillColor(GetColor(2));
    g->SetPen(GetColor(2));
    const int ax = Width() - 9;
    for (int i = 0; i < 3; ++i) {
        g->Line(ax + 1 + i, Height() / 2 - 2 - i, ax + 5 - i, Height() / 2 - 2 - i);
        g->Line(ax + 1 + i, Height() / 2 + 1 + i, ax + 5 - i, Height() / 2 + 1 + i);
    }
}

MockValue::MockValue(int x, int y, int w, int h, std::string_view text, XColor colour, int size)
    : XControl(x, y, w, h)
{
    SetText(text);
    SetColor(0, XColor());
    SetColor(2, colour);
    SetFont(size, 0);
}

void MockValue::Draw(XGraphic* g)
{
    g->MakeFont(FontSize() - 2, 0);
    g->SetTextColor(GetColor(2));
    g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
}

MockLines::MockLines(int x, int y, int w, int h, std::string lines, XColor colour)
    : XControl(x, y, w, h)
{
    SetText(lines);
    SetColor(0, XColor());
    SetColor(2, colour);
}

void MockLines::Draw(XGraphic* g)
{
    g->MakeFont(8, 0);
    g->SetTextColor(GetColor(2));
    std::istringstream in {std::string(Text())};
    std::string line;
    int y = 6;
    while (std::getline(in, line)) {
        g->Text(line, 5, y);
        y += 11;
    }
}

MockKeyboard::MockKeyboard(int x, int y, int low, int high, int switchLow, int switchHigh)
    : XControl(x, y, layout::kKeyboardWidth, layout::kKeyboardHeight),
      base_("keyboard.png"),
      playable_(base_),
      keySwitch_(base_),
      heldPic_(base_),
      low_(low),
      high_(high),
      switchLow_(switchLow),
      switchHigh_(switchHigh)
{
    base_.Brighten(0.4f);
    keySwitch_.Tint(XColor(0, 30, 70), 0.7f);
    heldPic_.Tint(XColor(90, 40, 0), 0.72f);
}

void MockKeyboard::CopyKey(XGraphic* g, const XPic& from, int note)
{
    const int x = layout::KeyLeft(note);
    if (layout::IsBlackKey(note)) {
        g->DrawPicPart(from, x, 0, layout::kBlackKeyWidth, layout::kBlackKeyLength, x, 0);
        return;
    }
    // The white key's tip, and the top part where no black key covers it.
    g->DrawPicPart(from, x, layout::kBlackKeyLength, layout::kWhiteKeyWidth,
                   layout::kKeyboardHeight - layout::kBlackKeyLength, x, layout::kBlackKeyLength);
    int left = x, right = x + layout::kWhiteKeyWidth;
    if (note > layout::kFirstNote && layout::IsBlackKey(note - 1)) left = x + 4;
    if (note < layout::kLastNote && layout::IsBlackKey(note + 1)) right = x + 11;
    g->DrawPicPart(from, left, 0, right - left, layout::kBlackKeyLength, left, 0);
}

void MockKeyboard::Draw(XGraphic* g)
{
    g->DrawPic(base_, 0, 0);
    for (int pass = 0; pass < 2; ++pass) {
        for (int note = layout::kFirstNote; note <= layout::kLastNote; ++note) {
            if (layout::IsBlackKey(note) != (pass == 1)) continue;
            if (held_[note]) {
                CopyKey(g, heldPic_, note);
            } else if (note >= switchLow_ && note <= switchHigh_) {
                CopyKey(g, keySwitch_, note);
            } else if (note >= low_ && note <= high_) {
                CopyKey(g, playable_, note);
            }
        }
    }
}

}  // namespace gallery
