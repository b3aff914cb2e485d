// A firmware version as the editor compares it: (major, minor), major first.
#pragma once

#include <compare>
#include <cstdint>

struct FirmwareVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;

  friend constexpr auto operator<=>(const FirmwareVersion&, const FirmwareVersion&) = default;
  friend constexpr bool operator==(const FirmwareVersion&, const FirmwareVersion&) = default;

  // (0, 0) stands for a missing or unreadable version.
  constexpr bool IsValid() const { return major != 0 || minor != 0; }
};

// Thresholds of the editor's device flows.
inline constexpr FirmwareVersion kMinimumOnlineVersion{5, 2};     // going online at all
inline constexpr FirmwareVersion kMinimumTransferVersion{5, 12};  // parameter transfers; firmware update minimum
inline constexpr FirmwareVersion kMinimumSaveConfigVersion{5, 20};  // saving the configuration in the amplifier
