// The firmware images of the Firmware folder, newest first, and the check that the chosen
// image can be read before the amplifier is asked to leave its application for it.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "application/firmware/FirmwareFile.h"

// The two name patterns of the editor's images; of two images with the same version, the one
// of the first pattern is listed first.
inline constexpr std::string_view kFirmwarePatternCobalt = "Cobalt_*.bin";
inline constexpr std::string_view kFirmwarePatternCorvantine = "Corvantine_*.bin";

// The images of `folder`: every file (not folder) whose name matches one of the two patterns
// ('*' any run of characters, letter case not counting, as in the system's directory search)
// and carries a version (ParseFirmwareFileName), newest first: by major, then minor,
// descending. Names without a version are left out silently; a missing folder gives nothing.
std::vector<FirmwareFile> BuildFirmwareFileList(const std::filesystem::path& folder);

// True when the image at `path` opens and reads to its end and holds at least one byte.
bool IsFirmwareImageReadable(const std::filesystem::path& path);
