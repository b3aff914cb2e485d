// Main of the Qt test suites: a QApplication on the offscreen platform, private folders for
// settings and runtime files and the C locale, so tests touch nothing of the user's and
// pixels come out the same on every machine.
#include <cstdlib>
#include <filesystem>

#include <QApplication>
#include <gtest/gtest.h>

#include "platform/ui/core/UiLayer.h"
#include "tests/support/TempFolder.h"

namespace {

void SetFolderVariable(const char* name, const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    setenv(name, folder.c_str(), 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    setenv("LC_ALL", "C", 1);
    TempFolder home("quarry-qt-test-");
    SetFolderVariable("HOME", home.Path() / "home");
    SetFolderVariable("XDG_RUNTIME_DIR", home.Path() / "runtime");
    SetFolderVariable("XDG_CONFIG_HOME", home.Path() / "config");
    SetFolderVariable("XDG_DATA_HOME", home.Path() / "data");
    SetFolderVariable("XDG_CACHE_HOME", home.Path() / "cache");

    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // As the editor's main does: the UI layer right after the QApplication (it also puts the
    // numeric locale back to "C", which QApplication took from the environment).
    platform::UiLayer uiLayer;
    return RUN_ALL_TESTS();
}
