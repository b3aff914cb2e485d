// The program-wide settings record and the rule that guards the user's file: save only what
// was loaded (or a first run's defaults), never defaults over a file that was not read.
#include "application/settings/AppSettings.h"

#include "platform/base/ProgramFolders.h"
#include "application/settings/SettingsFile.h"

namespace {

// User-interface thread only, like the record.
SettingsLoadState g_loadState = SettingsLoadState::NotLoaded;

} // namespace

AppSettings& GetAppSettings() {
  static AppSettings settings;
  return settings;
}

SettingsLoadState GetAppSettingsLoadState() { return g_loadState; }

bool LoadAppSettings() {
  AppSettings& settings = GetAppSettings();
  settings = AppSettings{};
  std::optional<std::filesystem::path> path = GetSettingsFilePath();
  if (!path) {
    g_loadState = SettingsLoadState::Unreadable;
    return false;
  }
  SettingsFileStatus status = SettingsFileStatus::Unreadable;
  bool complete = LoadAppSettingsFile(*path, settings, &status);
  switch (status) {
    case SettingsFileStatus::Read:
      g_loadState = SettingsLoadState::FromFile;
      break;
    case SettingsFileStatus::Missing:
      g_loadState = SettingsLoadState::NoFile;
      break;
    case SettingsFileStatus::Unreadable:
      g_loadState = SettingsLoadState::Unreadable;
      break;
  }
  return complete;
}

bool SaveAppSettings() {
  if (g_loadState != SettingsLoadState::FromFile && g_loadState != SettingsLoadState::NoFile) {
    return false;
  }
  std::optional<std::filesystem::path> path = GetSettingsFilePath();
  if (!path) {
    return false;
  }
  return SaveAppSettingsFile(*path, GetAppSettings());
}
