// Where the main editor places its toolbar and keyboard on the skin's pictures (tb_back,
// key_pane); the skin generator paints the button seats and the keyboard's well at the same
// places.
#pragma once

namespace editorlayout {

// --- Toolbar (800 x 48): nine buttons, then the logo 150 pixels from the right edge.
inline constexpr int kToolbarWidth = 800;
inline constexpr int kButtonX0 = 5;
inline constexpr int kButtonPitch = 60;
inline constexpr int kButtonY = 3;
inline constexpr int kButtonWidth = 59;
inline constexpr int kButtonHeight = 44;
inline constexpr int kLogoFromRight = 150;
inline constexpr int kLogoY = 5;

// --- Keyboard pane (800 x 88): the keyboard (781 x 80) sits at (8, 4).
inline constexpr int kKeyPaneHeight = 88;
inline constexpr int kKeyPaneKeyboardX = 8;
inline constexpr int kKeyPaneKeyboardY = kKeyPaneHeight - 84;

}  // namespace editorlayout
