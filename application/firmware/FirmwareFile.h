// Firmware images as the editor finds them in its Firmware folder, and the version texts they
// are compared with: the version in an image's file name, the raw version an amplifier
// reports, and the two classes of firmware an image must share with the amplifier.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/FirmwareVersion.h"

// One firmware image found on disk.
struct FirmwareFile {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::string name;  // the file name without its folder

    FirmwareVersion Version() const { return FirmwareVersion{major, minor}; }
};

// The version in a file name: the name is split at every '_' and '.'; the major number comes
// from the first of fields 1 and 2 that is a version field ('V' or 'v' and digits), the minor
// from the field after it, which must be all digits ("Cobalt_V5.12.bin", "Corvantine_full_v6.3.bin").
// A number that does not fit 32 bits is refused. False, outputs untouched, when the name does
// not carry a version.
bool ParseFirmwareFileName(std::string_view name, std::uint32_t& major, std::uint32_t& minor);

// The amplifier's version text taken as it stands (no aliases): exactly two fields split at
// '.', a version field and a number field ("V5.12", "v5.12"). Same refusals as above.
bool ParseDeviceFirmwareVersion(std::u16string_view text, std::uint32_t& major, std::uint32_t& minor);

// Firmware from 3.20 on is of the new class, older firmware of the old one; an image of the
// other class than the amplifier's is not meant for it.
bool IsNewFirmwareClass(std::uint32_t major, std::uint32_t minor);
