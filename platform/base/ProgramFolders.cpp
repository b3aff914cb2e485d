// Program folders on Linux: the executable's own folder stands in for the folder of the
// program file, and the XDG data folder for the local application-data folder.
#include "platform/base/ProgramFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "platform/base/VirtualDevices.h"

std::filesystem::path GetProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) {
    return std::filesystem::current_path(ec);
  }
  return exe.parent_path();
}

std::filesystem::path GetDataFolder() { return GetProgramFolder() / kDataFolderName; }

std::filesystem::path GetFirmwareFolder() { return GetProgramFolder() / kFirmwareFolderName; }

std::filesystem::path GetFirmwareFolderInUse()
{
    return platform::VirtualFirmwareFolder().value_or(GetFirmwareFolder());
}

std::optional<std::filesystem::path> GetUserDataFolder() {
  // A relative XDG_DATA_HOME is invalid by the XDG rules and must be ignored.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    return std::filesystem::path(xdg);
  }
  std::filesystem::path home;
  if (const char* env = std::getenv("HOME"); env != nullptr && env[0] == '/') {
    home = env;
  } else {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
        result->pw_dir != nullptr && result->pw_dir[0] == '/') {
      home = result->pw_dir;
    }
  }
  if (home.empty()) {
    return std::nullopt;
  }
  return home / ".local" / "share";
}

std::optional<std::filesystem::path> GetSettingsFilePath() {
  std::optional<std::filesystem::path> base = GetUserDataFolder();
  if (!base) {
    return std::nullopt;
  }
  std::filesystem::path folder = *base / kSettingsCompanyFolder / kSettingsProductFolder;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder, ec)) {
    return std::nullopt;
  }
  return folder / kSettingsFileName;
}
