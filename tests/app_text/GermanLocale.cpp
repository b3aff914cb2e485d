// Builds de_DE.UTF-8 with localedef into a private folder when it is not installed, so the
// locale-independence tests run on minimal machines too (only root may install locales).
#include "tests/app_text/GermanLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <unistd.h>

namespace testing_support {
namespace {

const char* const kNames[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};

bool TrySetGerman() {
  for (const char* name : kNames) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      try {
        std::locale::global(std::locale(name));
      } catch (const std::runtime_error&) {
        // The C locale is what our parsers could be affected by; the C++ one is a bonus.
      }
      return true;
    }
  }
  return false;
}

} // namespace

std::string UseGermanLocale() {
  if (TrySetGerman()) {
    return {};
  }
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("quarry-locale-" + std::to_string(static_cast<long>(getuid())));
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::filesystem::path target = dir / "de_DE.UTF-8";
  if (!std::filesystem::exists(target)) {
    // Build privately and rename into place, so parallel test processes never see half a locale.
    std::filesystem::path scratch = dir / ("build-" + std::to_string(static_cast<long>(getpid())));
    std::filesystem::remove_all(scratch, ec);
    std::filesystem::create_directories(scratch, ec);
    std::filesystem::path built = scratch / "de_DE.UTF-8";
    std::string command = "localedef -i de_DE -f UTF-8 '" + built.string() + "' >/dev/null 2>&1";
    int status = std::system(command.c_str());
    // localedef exits with 1 on mere warnings while still writing a usable locale.
    if (!std::filesystem::exists(built / "LC_NUMERIC")) {
      std::filesystem::remove_all(scratch, ec);
      return "localedef could not build de_DE.UTF-8 (exit status " + std::to_string(status) + ")";
    }
    std::filesystem::rename(built, target, ec); // fails harmlessly when another process won
    std::filesystem::remove_all(scratch, ec);
  }
  setenv("LOCPATH", dir.c_str(), 1);
  if (!TrySetGerman()) {
    return "no German locale is installed and the one built in " + dir.string() + " cannot be loaded";
  }
  return {};
}

void RestoreClassicLocale() {
  std::setlocale(LC_ALL, "C");
  std::locale::global(std::locale::classic());
}

} // namespace testing_support

// glibc's setlocale leaks its copy of LOCPATH on every call while LOCPATH is set; that is
// outside our code, so the leak checker of the sanitizer builds is told to ignore it.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }
