// Where the editor finds its files: Data and Firmware beside the executable, the settings file
// in the user's data folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

inline constexpr std::string_view kDataFolderName = "Data";
inline constexpr std::string_view kFirmwareFolderName = "Firmware";
inline constexpr std::string_view kSettingsFileName = "Settings.dat";
inline constexpr std::string_view kSettingsCompanyFolder = "Vesk";
inline constexpr std::string_view kSettingsProductFolder = "Corvantine-Editor";

// The folder of the running executable (from /proc/self/exe); the current folder when the
// link cannot be read.
std::filesystem::path GetProgramFolder();

// GetProgramFolder() / "Data" and / "Firmware".
std::filesystem::path GetDataFolder();
std::filesystem::path GetFirmwareFolder();

// The folder whose images the editor offers and writes: the virtual devices' own firmware folder
// while the program talks to virtual amplifiers and one is named (platform::VirtualFirmwareFolder),
// else GetFirmwareFolder(). A synthetic image kept for virtual amplifiers thus never reaches the
// folder a real amplifier is updated from.
std::filesystem::path GetFirmwareFolderInUse();

// The user's data folder: $XDG_DATA_HOME when it holds an absolute path, else $HOME/.local/share
// (HOME from the password database when unset). Nothing when neither is known. Not created.
std::optional<std::filesystem::path> GetUserDataFolder();

// GetUserDataFolder() / "Vesk" / "Corvantine-Editor" / "Settings.dat". The two sub-folders
// are created when missing (parents first); nothing when they cannot be, or the user's data
// folder is unknown.
std::optional<std::filesystem::path> GetSettingsFilePath();
