// Stand-ins for the editor's widgets, drawn the way the widget set describes them, so that the
// gallery can show the skin in place before the real widgets exist: pictures, buttons in their
// three states, knobs with their pointer, faders with their thumb, LED toggles, LCD selectors,
// value texts and the keyboard with its ranges.
#pragma once

#include <string>
#include <string_view>

#include "gui/XControl.h"
#include "gui/XPic.h"

namespace gallery {

// A skin picture at (0, 0), taking its size.
class PicControl : public XControl {
public:
    PicControl(int x, int y, std::string_view name);
    void Draw(XGraphic* g) override;

private:
    XPic pic_;
};

// A toolbar button: idle (grey copy), hover (as drawn) or pressed (saturated copy).
class MockButton : public XControl {
public:
    enum State { kIdle, kHover, kPressed };
    MockButton(int x, int y, int w, int h, std::string_view name, State state);
    void Draw(XGraphic* g) override;

private:
    XPic pic_;
};

// A knob: its picture and a white pointer from 0.4 r to r, fraction 0 to the lower left.
class MockKnob : public XControl {
public:
    MockKnob(int x, int y, double fraction);
    void Draw(XGraphic* g) override;

private:
    XPic pic_;
    double fraction_;
};

// A transparent fader with a coloured fill from a reference fraction to the thumb.
class MockFader : public XControl {
public:
    MockFader(int x, int y, int w, int h, double fraction, double reference, XColor fill);
    void Draw(XGraphic* g) override;

private:
    XPic thumb_;
    double fraction_;
    double reference_;
};

// A toggle LED: a bevelled box in colour 1 (on) or 0 (off), a frame just outside, its text.
class MockTogLed : public XControl {
public:
    MockTogLed(int x, int y, int w, int h, std::string_view text, bool on, XColor onColour);
    void Draw(XGraphic* g) override;

private:
    bool on_;
};

// A selector display: dark green field, centred text, an arrow column at the right.
class MockSelect : public XControl {
public:
    MockSelect(int x, int y, int w, int h, std::string_view text, XColor textColour,
               double progress = 0);
    void Draw(XGraphic* g) override;

private:
    double progress_;
};

// A text centred in its box, no background.
class MockValue : public XControl {
public:
    MockValue(int x, int y, int w, int h, std::string_view text, XColor colour, int size = 11);
    void Draw(XGraphic* g) override;
};

// Lines of small text at the given rows (program facts).
class MockLines : public XControl {
public:
    MockLines(int x, int y, int w, int h, std::string lines, XColor colour);
    void Draw(XGraphic* g) override;
};

// The keyboard: the picture darkened outside the playable range, tinted over the key-switch
// range and over held keys.
class MockKeyboard : public XControl {
public:
    MockKeyboard(int x, int y, int low, int high, int switchLow, int switchHigh);
    void Hold(int note) { held_[note & 127] = true; }
    void Draw(XGraphic* g) override;

private:
    void CopyKey(XGraphic* g, const XPic& from, int note);

    XPic base_;
    XPic playable_;
    XPic keySwitch_;
    XPic heldPic_;
    int low_, high_, switchLow_, switchHigh_;
    bool held_[128] {};
};

}  // namespace gallery
