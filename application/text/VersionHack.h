// The version-alias table "VersionHack.txt" in the Data folder: maps a firmware version that
// an amplifier reports to the version the editor treats it as. Line syntax:
//   # comment (after optional spaces or tabs), or an empty line
//   V<major>.<minor> => V<major>.<minor>   anything after the target is ignored
// Spaces and tabs may stand around the versions; "=>" must be followed by the end of the
// line, a space, a tab, a letter or a digit. Malformed lines are skipped; for a source that
// appears twice the later line wins.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/base/FirmwareVersion.h"

inline constexpr std::string_view kVersionHackFileName = "VersionHack.txt";

// One line of the file: the (source, target) pair, or nothing for a comment or malformed line.
std::optional<std::pair<FirmwareVersion, FirmwareVersion>> ParseVersionHackLine(std::string_view line);

// Replaces the program's alias table by the lines of `path`. False when the file cannot be
// read (the table is then empty); true otherwise.
bool LoadVersionHackFile(const std::filesystem::path& path);

// LoadVersionHackFile on the Data folder's "VersionHack.txt"; read once at start-up.
bool LoadVersionHack();

// When the table holds `version` exactly, replaces it by its target and returns true;
// otherwise leaves it and returns false. Safe to call from any thread.
bool LookupVersionHack(FirmwareVersion& version);

// A copy of the table (diagnostics and tests).
std::map<FirmwareVersion, FirmwareVersion> VersionHackEntries();

// Empties the table.
void ClearVersionHack();
