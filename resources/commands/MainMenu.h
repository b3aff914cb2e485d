// The main window's menu (resource 128) as a table: popups in bar order, each with its
// items (command id and text, '&' before the mnemonic, '\t' before the shortcut's text) and
// separators. The fourth popup ("Debug") exists in the resource but the frame removes it at
// creation, so it never shows.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct MenuItemEntry {
    std::uint32_t command = 0;  // 0: a separator
    std::string_view text;
};

struct MenuPopupEntry {
    std::string_view text;
    std::span<const MenuItemEntry> items;
};

inline constexpr std::uint32_t kMainMenuId = 128;
// Position of the "Debug" popup that the frame removes.
inline constexpr int kDebugMenuPosition = 3;

std::span<const MenuPopupEntry> MainMenu();
