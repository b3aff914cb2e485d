// Program folders beside the executable and the user's data folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/base/ProgramFolders.h"

namespace {

// Sets or clears one environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ProgramFolders, DataAndFirmwareLieBesideTheExecutable) {
  std::filesystem::path program = GetProgramFolder();
  EXPECT_TRUE(std::filesystem::exists(program / "app_settings_test"));
  EXPECT_EQ(GetDataFolder(), program / "Data");
  EXPECT_EQ(GetFirmwareFolder(), program / "Firmware");
}

// The virtual run's synthetic images are read only by an editor that talks to virtual amplifiers
// alone; any other editor takes the folder beside it, whatever else is set.
TEST(ProgramFolders, TheVirtualFirmwareFolderIsUsedOnlyWithVirtualDevices) {
  struct Case {
    const char* devices;
    const char* firmware;
    bool virtualFolder;
  };
  for (const Case& c : {Case{nullptr, "/tmp/run/Firmware", false}, Case{"", "/tmp/run/Firmware", false},
                        Case{"/tmp/run/amps", nullptr, false}, Case{"/tmp/run/amps", "", false},
                        Case{"/tmp/run/amps", "/tmp/run/Firmware", true}}) {
    ScopedEnv devices("QUARRY_VIRTUAL_HID_DIR", c.devices);
    ScopedEnv firmware("QUARRY_VIRTUAL_FIRMWARE_DIR", c.firmware);
    EXPECT_EQ(GetFirmwareFolderInUse(), c.virtualFolder ? std::filesystem::path(c.firmware) : GetFirmwareFolder())
        << (c.devices ? c.devices : "(unset)") << " " << (c.firmware ? c.firmware : "(unset)");
  }
}

TEST(ProgramFolders, AbsoluteXdgDataHomeIsUsed) {
  ScopedEnv xdg("XDG_DATA_HOME", "/srv/data");
  EXPECT_EQ(GetUserDataFolder(), std::filesystem::path("/srv/data"));
}

TEST(ProgramFolders, RelativeOrEmptyXdgDataHomeFallsBackToHome) {
  ScopedEnv home("HOME", "/home/someone");
  {
    ScopedEnv xdg("XDG_DATA_HOME", "relative/path");
    EXPECT_EQ(GetUserDataFolder(), std::filesystem::path("/home/someone/.local/share"));
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", "");
    EXPECT_EQ(GetUserDataFolder(), std::filesystem::path("/home/someone/.local/share"));
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(GetUserDataFolder(), std::filesystem::path("/home/someone/.local/share"));
  }
}

TEST(ProgramFolders, WithoutHomeThePasswordDatabaseIsAsked) {
  ScopedEnv xdg("XDG_DATA_HOME", nullptr);
  ScopedEnv home("HOME", nullptr);
  auto folder = GetUserDataFolder();
  // Every account in the password database has a home; the folder ends in .local/share.
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->filename(), "share");
  EXPECT_EQ(folder->parent_path().filename(), ".local");
}

} // namespace
