// Where the editor places its controls on the skin's pictures, so the painted wells, grooves
// and seats fall under them: the editor's own layout, in the pictures' own pixels.
#pragma once

#include "editor/GigaEditorLayout.h"
#include "editor/GigaViewLayout.h"
#include "gui/XKeyboard.h"

namespace layout {

using namespace editorlayout;
using namespace viewlayout;

inline constexpr int kLogoX = kToolbarWidth - kLogoFromRight;

// The art draws in single precision.
inline constexpr float kKnobCentre = static_cast<float>(viewlayout::kKnobCentre);
inline constexpr float kIndicatorRadius = static_cast<float>(viewlayout::kIndicatorRadius);

// --- Keyboard (781 x 80): 52 white keys of 15 pixels from note 21; black keys 8 wide and 49
// long, centred on the line between their two white neighbours.
inline constexpr int kFirstNote = XKeyboard::kFirstNote;
inline constexpr int kLastNote = XKeyboard::kLastNote;
inline constexpr int kWhiteKeyWidth = XKeyboard::kWhiteWidth;
inline constexpr int kBlackKeyWidth = XKeyboard::kBlackWidth;
inline constexpr int kBlackKeyLength = XKeyboard::kBlackLength;
inline constexpr int kKeyboardWidth = XKeyboard::kPictureWidth;
inline constexpr int kKeyboardHeight = XKeyboard::kPictureHeight;

inline bool IsBlackKey(int note)
{
    return XKeyboard::IsBlackKey(note);
}
// The left edge of a white key, or of a black key's body.
inline int KeyLeft(int note)
{
    return XKeyboard::KeyLeft(note);
}

}  // namespace layout
