// The framework's four-character codes, each declared here once: the predefined fonts, what its
// controls tell their owners, and the ids of its own popups.
#pragma once

#include <cstdint>

#include "platform/FourCC.h"

namespace xcode {

// Predefined fonts, for XGraphic::SetFont (XGraphic makes them on first use).
inline constexpr std::int32_t kFontDefault = FourCC("xfdf");  // 11 points
inline constexpr std::int32_t kFontSmall = FourCC("xfsm");    // 9 points
inline constexpr std::int32_t kFontBold = FourCC("xfbg");     // 11 points, bold
inline constexpr std::int32_t kFontHeading = FourCC("xfhg");  // 14 points, bold
// The weight XGraphic::MakeFont takes for bold; any other weight is normal.
inline constexpr std::int32_t kWeightBold = FourCC("bold");

// XTree broadcasts it when a row is picked; the file dialog and the browser answer.
inline constexpr std::int32_t kTreePicked = FourCC("ktis");
// XKeyboard sends its parent Command(kKeyboardNote, note, velocity), velocity 0 ending the note;
// the editor's keyboard pane passes it on to the editor, which plays the selected tone.
inline constexpr std::int32_t kKeyboardNote = FourCC("midi");

// Popup ids: XMenu's menus (and the editor's menus that ask a question), UFileNav's dialog.
inline constexpr std::int32_t kMenuPopup = FourCC("menu");
inline constexpr std::int32_t kFileNavPopup = FourCC("fnav");

}  // namespace xcode
