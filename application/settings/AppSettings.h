// The program-wide user-interface settings kept between runs in "Settings.dat": loaded once
// before the main window exists, changed in memory while the program runs, saved at exit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct SettingsRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  friend bool operator==(const SettingsRect&, const SettingsRect&) = default;
};

// A main-window placement: 44 bytes in the file, fields in this order.
struct WindowPlacement {
  std::uint32_t length = 0;
  std::uint32_t flags = 0;
  std::uint32_t showCmd = 0;
  std::int32_t minPositionX = 0;
  std::int32_t minPositionY = 0;
  std::int32_t maxPositionX = 0;
  std::int32_t maxPositionY = 0;
  SettingsRect normalPosition;

  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

inline constexpr std::size_t kWindowPlacementBytes = 44;
inline constexpr std::size_t kInputEqChannels = 16;

struct AppSettings {
  std::uint32_t frameStyle = 0;      // main-frame style at close
  SettingsRect frameRect;            // main-frame rectangle at close; used when the frame is created
  WindowPlacement framePlacement;    // saved when the frame is destroyed, restored when it is created
  std::uint32_t spareStyle = 0;      // only loaded and saved
  SettingsRect spareRect;            // only loaded and saved
  std::array<std::uint8_t, 8> spareBlock{};  // only loaded and saved
  std::uint32_t meterViewSetting = 0;        // copied by the meter view; no behaviour depends on it
  std::array<std::uint32_t, kInputEqChannels> inputEqMode{};  // per input-EQ channel, owned by the panel
  std::uint8_t inputEqWidthIsQ = 1;  // 1: band widths shown as Q, 0: as bandwidth

  friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// The program's one settings record. User-interface thread only.
AppSettings& GetAppSettings();

// What the last LoadAppSettings found; saving is allowed only after FromFile or NoFile, so a
// run that ends before loading (or that could not read an existing file) never replaces the
// user's settings with defaults.
enum class SettingsLoadState {
  NotLoaded,   // LoadAppSettings has not run
  FromFile,    // the file was opened and read (perhaps only in part)
  NoFile,      // first run: there is no settings file yet
  Unreadable,  // no settings path, or something is there that could not be opened or read
};

SettingsLoadState GetAppSettingsLoadState();

// Resets the record to its defaults, then reads the settings file. True only when the whole
// file was read without error; values read before an error are kept. Never reports to the user.
bool LoadAppSettings();

// Writes the record to a temporary file beside the settings file and swaps it in with
// SafeReplaceFile. False, leaving the old file, when it fails or when saving is not allowed
// (see SettingsLoadState).
bool SaveAppSettings();
