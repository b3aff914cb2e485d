// The system colours the windows draw with. They are the classic values of the desktop the
// design was made on, fixed here rather than read from the desktop's palette, so that every
// machine shows (and every test sees) the same pixels.
#pragma once

#include "platform/ui/drawing/ColorRef.h"

namespace platform::SysColor {

inline constexpr ColorRef kButtonFace = 0xF0F0F0;       // also the 3-D face and the dialog background
inline constexpr ColorRef kButtonShadow = 0xA0A0A0;     // 3-D shadow
inline constexpr ColorRef kButtonHighlight = 0xFFFFFF;  // 3-D highlight
inline constexpr ColorRef kButtonText = 0x000000;
inline constexpr ColorRef k3dDarkShadow = 0x696969;
inline constexpr ColorRef k3dLight = 0xE3E3E3;
inline constexpr ColorRef kWindow = 0xFFFFFF;
inline constexpr ColorRef kWindowText = 0x000000;
inline constexpr ColorRef kWindowFrame = 0x646464;
inline constexpr ColorRef kGrayText = 0x6D6D6D;
inline constexpr ColorRef kHighlight = 0xD77800;        // RGB(0, 120, 215)
inline constexpr ColorRef kHighlightText = 0xFFFFFF;
inline constexpr ColorRef kActiveBorder = 0xB4B4B4;
inline constexpr ColorRef kInactiveBorder = 0xFCF7F4;   // RGB(244, 247, 252)
inline constexpr ColorRef kActiveCaption = 0xD1B499;    // RGB(153, 180, 209)
inline constexpr ColorRef kCaptionText = 0x000000;
inline constexpr ColorRef kMenu = 0xF0F0F0;
inline constexpr ColorRef kMenuText = 0x000000;
inline constexpr ColorRef kInfoBackground = 0xE1FFFF;   // RGB(255, 255, 225), tool tips
inline constexpr ColorRef kInfoText = 0x000000;
inline constexpr ColorRef kAppWorkspace = 0xABABAB;
inline constexpr ColorRef kScrollBar = 0xC8C8C8;

}  // namespace platform::SysColor
