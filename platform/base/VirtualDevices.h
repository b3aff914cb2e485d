// The environment that points a program at virtual amplifiers instead of real ones. While the
// virtual-device folder is set, the device library opens only the virtual devices in it, so
// nothing the program finds through these variables can reach a real amplifier.
#pragma once

#include <filesystem>
#include <optional>

namespace platform {

// The folder of virtual devices (one Unix socket per device).
inline constexpr const char* kVirtualHidFolderVariable = "QUARRY_VIRTUAL_HID_DIR";
// The firmware images meant for those devices (the virtual amplifier's synthetic images).
inline constexpr const char* kVirtualFirmwareFolderVariable = "QUARRY_VIRTUAL_FIRMWARE_DIR";

// The virtual-device folder when its variable is set and not empty; nothing otherwise, and the
// program then talks to real devices.
std::optional<std::filesystem::path> VirtualHidFolder();

// The folder of the virtual devices' firmware images when both variables are set and not empty.
// Without the virtual-device folder the variable is ignored, so an editor that may meet a real
// amplifier never sees an image made for a virtual one.
std::optional<std::filesystem::path> VirtualFirmwareFolder();

}  // namespace platform
