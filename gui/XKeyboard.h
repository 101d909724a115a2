// The on-screen keyboard: 88 keys, MIDI notes 21 to 108, drawn from "keyboard.png" (or a plain
// drawing of the same geometry when the picture is missing). Keys outside the playable and
// key-switch ranges are dimmed and do not play. Presses and releases reach the parent as
// Command('midi', note, velocity); velocity 0 ends the note.
#pragma once

#include <array>
#include <cstdint>

#include "gui/XControl.h"
#include "gui/XPic.h"

class XKeyboard : public XControl {
public:
    static constexpr int kFirstNote = 21;
    static constexpr int kLastNote = 108;
    static constexpr int kWhiteWidth = 15;
    static constexpr int kBlackWidth = 8;
    static constexpr int kBlackLength = 49;
    static constexpr int kOctaveWidth = 105;
    static constexpr int kPictureWidth = 781;
    static constexpr int kPictureHeight = 80;

    XKeyboard(int x, int y, int width, int height);
    // A key still down when the keyboard goes is released, so no note hangs.
    ~XKeyboard() override;

    // Replaces the keys' picture (781 x 80); the four shades are made from it again.
    void SetPicture(const XPic& pic);
    // The keys drawn by code, used when the skin has no keyboard.
    static XPic PlainPicture();

    // Both ranges are clamped to 21..108; a range whose low end is above its high end is empty.
    void SetRanges(int low, int high, int switchLow, int switchHigh);
    // MIDI activity from elsewhere; sends nothing.
    void SetKeyHeld(int note, bool on);
    bool IsKeyHeld(int note) const;
    // The note played by the pointer, -1 when none.
    int PlayingNote() const { return playing_; }

    static bool IsBlackKey(int note);
    // The left edge of a white key, or of a black key's body.
    static int KeyLeft(int note);
    // The note under a point and the velocity there; false outside the keys.
    static bool NoteAt(int x, int y, int height, int& note, int& velocity);

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;

private:
    bool Playable(int note) const;
    void Send(int note, int velocity);
    void CopyKey(XGraphic* g, const XPic& from, int note) const;

    XPic base_;
    XPic playable_;
    XPic switch_;
    XPic held_;
    int low_ = kFirstNote;
    int high_ = kLastNote;
    int switchLow_ = 0;
    int switchHigh_ = -1;
    std::array<bool, 128> heldKeys_ {};
    int playing_ = -1;
    bool pressed_ = false;
};
