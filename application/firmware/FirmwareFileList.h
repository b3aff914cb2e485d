// The firmware images of the Firmware folder, newest first, and the check that the chosen
// image can be read before the amplifier is asked to leave its application for it.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "application/firmware/FirmwareFile.h"

// The two name patterns of the editor's images, searched in this order.
inline constexpr std::string_view kFirmwarePatternCobalt = "Cobalt_*.bin";
inline constexpr std::string_view kFirmwarePatternCorvantine = "Corvantine_*.bin";

// Whether a file name matches a pattern with one '*' (any run of characters). Letter case
// does not count, as in the system's directory search.
bool MatchesFirmwarePattern(std::string_view name, std::string_view pattern);

// Appends every file (not folder) of `folder` whose name matches `pattern` and carries a
// version (ParseFirmwareFileName). Names without one are left out silently; a missing folder
// gives nothing.
void FindFirmwareFiles(const std::filesystem::path& folder, std::string_view pattern, std::vector<FirmwareFile>& list);

// The files of both patterns sorted newest first: by major, then minor, descending.
std::vector<FirmwareFile> BuildFirmwareFileList(const std::filesystem::path& folder);

// True when the image at `path` opens and reads to its end and holds at least one byte.
bool IsFirmwareImageReadable(const std::filesystem::path& path);
