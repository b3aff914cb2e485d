// The program-wide settings record: where it lives, and when it may be saved.
#include <gtest/gtest.h>

#include <cstdlib>

#include "application/settings/AppSettings.h"
#include "platform/base/ProgramFolders.h"
#include "application/settings/SettingsFile.h"
#include "tests/support/TempFolder.h"

namespace {

// Points XDG_DATA_HOME at a private folder for the test's duration.
class AppSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (const char* old = std::getenv("XDG_DATA_HOME")) {
      saved_ = old;
      hadValue_ = true;
    }
    setenv("XDG_DATA_HOME", folder_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (hadValue_) {
      setenv("XDG_DATA_HOME", saved_.c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
  }
  std::filesystem::path SettingsPath() const {
    return folder_.Path() / "Vesk" / "Corvantine-Editor" / "Settings.dat";
  }

  TempFolder folder_;
  std::string saved_;
  bool hadValue_ = false;
};

TEST_F(AppSettingsTest, SettingsPathIsInTheUserDataFolderAndItsFoldersAreCreated) {
  auto path = GetSettingsFilePath();
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(*path, SettingsPath());
  EXPECT_TRUE(std::filesystem::is_directory(SettingsPath().parent_path()));
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(AppSettingsTest, FirstRunGivesDefaultsAndSavesThem) {
  GetAppSettings().meterViewSetting = 99;
  EXPECT_FALSE(LoadAppSettings());
  EXPECT_EQ(GetAppSettingsLoadState(), SettingsLoadState::NoFile);
  EXPECT_EQ(GetAppSettings(), AppSettings{});
  EXPECT_EQ(GetAppSettings().inputEqWidthIsQ, 1);

  GetAppSettings().inputEqMode[3] = 1;
  EXPECT_TRUE(SaveAppSettings());
  EXPECT_EQ(std::filesystem::file_size(SettingsPath()), kSettingsFileBytes);

  GetAppSettings() = AppSettings{};
  EXPECT_TRUE(LoadAppSettings());
  EXPECT_EQ(GetAppSettingsLoadState(), SettingsLoadState::FromFile);
  EXPECT_EQ(GetAppSettings().inputEqMode[3], 1u);
}

TEST_F(AppSettingsTest, LoadedValuesAreSavedBackWithChanges) {
  AppSettings stored;
  stored.frameRect = {10, 20, 30, 40};
  ASSERT_TRUE(GetSettingsFilePath().has_value());
  ASSERT_TRUE(SaveAppSettingsFile(SettingsPath(), stored));
  EXPECT_TRUE(LoadAppSettings());
  EXPECT_EQ(GetAppSettings(), stored);
  GetAppSettings().inputEqWidthIsQ = 0;
  EXPECT_TRUE(SaveAppSettings());
  AppSettings reread;
  EXPECT_TRUE(LoadAppSettingsFile(SettingsPath(), reread, nullptr));
  stored.inputEqWidthIsQ = 0;
  EXPECT_EQ(reread, stored);
}

TEST_F(AppSettingsTest, DamagedFileLoadsWhatIsValidAndMaySaveOverIt) {
  ASSERT_TRUE(GetSettingsFilePath().has_value());
  AppSettings stored;
  stored.meterViewSetting = 5;
  ASSERT_TRUE(SaveAppSettingsFile(SettingsPath(), stored));
  std::string bytes = ReadWholeFile(SettingsPath());
  WriteWholeFile(SettingsPath(), bytes.substr(0, 150));  // cut inside the first mode chunk
  EXPECT_FALSE(LoadAppSettings());
  EXPECT_EQ(GetAppSettingsLoadState(), SettingsLoadState::FromFile);
  EXPECT_EQ(GetAppSettings().meterViewSetting, 5u);
  EXPECT_TRUE(SaveAppSettings());
  EXPECT_EQ(std::filesystem::file_size(SettingsPath()), kSettingsFileBytes);
}

TEST_F(AppSettingsTest, AnEarlyExitNeverOverwritesTheUsersFile) {
  ASSERT_TRUE(GetSettingsFilePath().has_value());
  AppSettings stored;
  stored.frameStyle = 1234;
  ASSERT_TRUE(SaveAppSettingsFile(SettingsPath(), stored));
  const std::string before = ReadWholeFile(SettingsPath());
  // A fresh process that ends before loading (second instance, tool switch) saves at exit.
  // The child runs this test afresh, so its own temporary folder is removed before it exits.
  EXPECT_EXIT(
      {
        bool saved = SaveAppSettings();
        std::error_code ec;
        std::filesystem::remove_all(folder_.Path(), ec);
        std::exit(saved ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadWholeFile(SettingsPath()), before);
}

TEST_F(AppSettingsTest, UnreadableFileIsNeverOverwritten) {
  ASSERT_TRUE(GetSettingsFilePath().has_value());
  std::filesystem::create_directory(SettingsPath());
  WriteWholeFile(SettingsPath() / "inside", "x");
  EXPECT_FALSE(LoadAppSettings());
  EXPECT_EQ(GetAppSettingsLoadState(), SettingsLoadState::Unreadable);
  EXPECT_FALSE(SaveAppSettings());
  EXPECT_EQ(ReadWholeFile(SettingsPath() / "inside"), "x");
}

TEST_F(AppSettingsTest, NoSettingsPathMeansLoadAndSaveDoNothing) {
  // A regular file where the company folder should be makes the folders impossible.
  WriteWholeFile(folder_.Path() / "Vesk", "not a folder");
  EXPECT_FALSE(GetSettingsFilePath().has_value());
  GetAppSettings().meterViewSetting = 3;
  EXPECT_FALSE(LoadAppSettings());
  EXPECT_EQ(GetAppSettingsLoadState(), SettingsLoadState::Unreadable);
  EXPECT_EQ(GetAppSettings(), AppSettings{});
  EXPECT_FALSE(SaveAppSettings());
  EXPECT_EQ(ReadWholeFile(folder_.Path() / "Vesk"), "not a folder");
}

} // namespace
