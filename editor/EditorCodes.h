// The editor's four-character codes, each declared here once: what its views and lists tell
// their listeners, the payloads of its drags and the ids of its popups. The framework's own
// codes are in gui/XCodes.h, a tone's notifications in engine/KyToneView.h and the player's
// events in player/KyEditor.h.
#pragma once

#include <cstdint>

#include "platform/FourCC.h"

namespace editorcode {

// A tone's view to the editor (GigaView broadcasts; GigaEditor::Notify answers).
inline constexpr std::int32_t kSelectView = FourCC("KyVs");  // select the view's tone
inline constexpr std::int32_t kEditStack = FourCC("KySe");   // open the stack editor on it
inline constexpr std::int32_t kLoad = FourCC("Load");        // its stack changed: load it
inline constexpr std::int32_t kBrowse = FourCC("brow");      // its name was clicked: browse
// A layer's mute or solo was asked for: XGigaPart tells its view, the view passes it on and
// the editor applies the rack's mute and solo rules.
inline constexpr std::int32_t kMute = FourCC("Mute");
// A layer's menu key was pressed (XGigaPart broadcasts; GigaView opens the instrument menu).
inline constexpr std::int32_t kPartMenu = FourCC("inst");

// The browser (XViewNav broadcasts; GigaEditor answers with XViewNav::ChosenInstrument).
inline constexpr std::int32_t kInstrumentChosen = FourCC("inst");
// Its lists to the browser: XListInst on a double click, XListLink on a drop onto it and on
// a drag out of it.
inline constexpr std::int32_t kListLoad = FourCC("load");
inline constexpr std::int32_t kFavoriteAdd = FourCC("fnew");
inline constexpr std::int32_t kFavoriteRemove = FourCC("fdel");

// Drag payloads: a program of the browser's list, a folder or bank of its tree, a favourite.
// A tone's view takes the first two, the favourites list the tree's.
inline constexpr std::int32_t kInstrumentPayload = FourCC("inst");
inline constexpr std::int32_t kTreePayload = FourCC("tree");
inline constexpr std::int32_t kLinkPayload = FourCC("link");

// Popup ids (GigaEditor shows them and answers their closing).
inline constexpr std::int32_t kConfirmNew = FourCC("NPrf");    // save before New?
inline constexpr std::int32_t kConfirmOpen = FourCC("OPrf");   // save before Open?
inline constexpr std::int32_t kMissingFiles = FourCC("misf");  // WMissing
inline constexpr std::int32_t kStackEditor = FourCC("stak");   // WStackEdit
inline constexpr std::int32_t kMessage = FourCC("mesg");       // WMessage
inline constexpr std::int32_t kSettings = FourCC("wset");      // WSettings

}  // namespace editorcode
