// The block view's context menu (resource 264) as a table, in the shape of the main menu's:
// its one popup "Block" with Copy Block, Paste Block, a separator, Mute and Bypass. The view
// removes Mute and Bypass (and the separator left last) before it shows the popup.
#pragma once

#include <span>

#include "resources/commands/MainMenu.h"

inline constexpr std::uint32_t kBlockMenuId = 264;

std::span<const MenuPopupEntry> BlockMenu();
