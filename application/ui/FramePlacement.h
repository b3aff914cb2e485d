// The main frame's saved state in the settings record, as plain values: where a frame is
// created, whether a saved placement may be applied, and the style word and placement that
// a frame's state gives. The window system's flag values are kept so that the settings
// file reads as before.
#pragma once

#include <cstdint>

#include "application/settings/AppSettings.h"

namespace FrameStateValue {
inline constexpr std::uint32_t kStyleMinimized = 0x20000000;
inline constexpr std::uint32_t kStyleVisible = 0x10000000;
inline constexpr std::uint32_t kStyleMaximized = 0x01000000;
inline constexpr std::uint32_t kStyleOverlappedWindow = 0x00CF0000;
inline constexpr std::uint32_t kShowNormal = 1;
inline constexpr std::uint32_t kShowMinimized = 2;
inline constexpr std::uint32_t kShowMaximized = 3;
inline constexpr std::int32_t kDefaultWidth = 640;
inline constexpr std::int32_t kDefaultHeight = 480;
}  // namespace FrameStateValue

// The saved rectangle when both its width and height are non-zero, else (0, 0) 640 x 480.
SettingsRect InitialFrameRect(const AppSettings& settings);

// A placement is applied only when its length field is 44 and its normal rectangle is not
// empty.
bool IsPlacementUsable(const WindowPlacement& placement);

// The style word of a frame in the given state.
std::uint32_t FrameStyleWord(bool visible, bool minimized, bool maximized);

// The placement of a frame whose normal (restored) rectangle is `normal`.
WindowPlacement MakeFramePlacement(const SettingsRect& normal, bool minimized, bool maximized);
