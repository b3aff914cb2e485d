// The "Settings.dat" format: a 16-byte signature, then chunks {u16 length, u16 tag, payload}
// ending with a u16 0. Separate from the program-wide record so tests and tools can read and
// write any stream or path.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "application/settings/AppSettings.h"
#include "platform/base/ByteStream.h"

// {1CC1B370-F793-4629-B0C9-01A791BC4812} in its in-memory byte order.
inline constexpr std::array<std::uint8_t, 16> kSettingsSignature = {
    0x70, 0xb3, 0xc1, 0x1c, 0x93, 0xf7, 0x29, 0x46, 0xb0, 0xc9, 0x01, 0xa7, 0x91, 0xbc, 0x48, 0x12};

namespace SettingsTag {
inline constexpr std::uint16_t kFrame = 0x5E70;           // sub-chunks kStyle and kRect
inline constexpr std::uint16_t kSpare = 0x5E71;           // as kFrame
inline constexpr std::uint16_t kSpareBlock = 0x5E72;      // 8 bytes
inline constexpr std::uint16_t kFramePlacement = 0x5E73;  // 44 bytes
inline constexpr std::uint16_t kMeterView = 0x5570;       // u32
inline constexpr std::uint16_t kInputEqModeAll = 0x5571;  // u32 for every channel; read only
inline constexpr std::uint16_t kInputEqWidthIsQ = 0x5572; // u8
inline constexpr std::uint16_t kInputEqMode = 0x5573;     // u8 channel, u32 mode
inline constexpr std::uint16_t kStyle = 0xFF00;           // u32, inside kFrame and kSpare
inline constexpr std::uint16_t kRect = 0xFF01;            // four u32, inside kFrame and kSpare
}  // namespace SettingsTag

// Size of the file written for any record (every chunk has a fixed size).
inline constexpr std::uint32_t kSettingsFileBytes = 299;

// Writes signature, chunks and end marker at the stream's position. True on success.
bool WriteAppSettingsStream(platform::ByteStream* stream, const AppSettings& settings);

// Sets `settings` to the defaults, then reads a file image from the stream's position. True
// when the signature matched and every chunk was read without error. A damaged chunk is
// skipped and the rest still read; nothing is read past the end of the stream.
bool ReadAppSettingsStream(platform::ByteStream* stream, AppSettings& settings);

// How much of a settings file is read; a valid list ends long before, so bytes beyond are
// never needed.
inline constexpr std::size_t kSettingsFileReadLimit = 1024 * 1024;

enum class SettingsFileStatus {
  Read,        // opened and read (up to the limit); see the boolean result for whether it was all valid
  Missing,     // no such file
  Unreadable,  // something is there but could not be opened or read, or it is not a regular file
};

// ReadAppSettingsStream on a file. `status` (may be null) tells whether the file was there.
bool LoadAppSettingsFile(const std::filesystem::path& path, AppSettings& settings, SettingsFileStatus* status);

// Writes a temporary file (prefix "cvp") in the folder of `path`, flushes it to the disk and
// replaces `path` with SafeReplaceFile. On failure the temporary file is removed and `path`
// keeps its previous content.
bool SaveAppSettingsFile(const std::filesystem::path& path, const AppSettings& settings);
