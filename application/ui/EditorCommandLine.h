// The editor's command line, without any toolkit: the tool switches "version" and "string"
// (write a text file and end), the flag "na" (integer curve drawer) and a project file to
// open. Switches begin with '-' or '/' and their names compare exactly (case-sensitive).
// On this system an argument that begins with '/' is a switch only when its name is one of
// the editor's; every other such argument is an absolute path.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The program version as the tool switch writes it ("2.2" with ',' for '.').
inline constexpr std::string_view kToolVersionText = "2,2";
inline constexpr std::string_view kProgramVersion = "2.2";

struct ToolSwitchRequest {
    std::optional<std::filesystem::path> versionPath;  // "version" <path>
    std::optional<std::filesystem::path> stringPath;   // "string" <id> <path>
    std::uint32_t stringId = 0;

    // True when a tool switch asks for a file, so the program ends after writing it.
    bool AsksForFile() const { return versionPath.has_value() || stringPath.has_value(); }
};

struct EditorCommandLine {
    bool integerDrawer = false;                      // "na"
    std::optional<std::filesystem::path> fileToOpen; // the first argument that is no switch
};

// Scans the arguments (without the program name) for the tool switches. A "string" whose id
// is 0 or no number stops the scan.
ToolSwitchRequest ScanToolSwitches(std::span<const std::string> args);

// The text a request writes: "2,2" for a version path, else the string-table text of the id
// (empty when there is none), in the Windows-1252 code page, without terminator.
std::string ToolSwitchText(const ToolSwitchRequest& request);

// Writes the requested file, replacing what it held. False when nothing was asked or the
// file cannot be written.
bool WriteToolSwitchFile(const ToolSwitchRequest& request);

// The flag "na" and the file to open; the operands of the tool switches are no files.
EditorCommandLine ParseEditorCommandLine(std::span<const std::string> args);
