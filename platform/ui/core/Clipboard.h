// The clipboard by format name, as the system's registered clipboard formats: each format is
// a MIME type of its own ("application/x-vesk-" plus the name), holding one whole block of
// bytes. Putting a block replaces what the clipboard held.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The MIME type of a format name; characters outside [A-Za-z0-9_.-] are written as %XX.
std::string ClipboardMimeType(std::string_view formatName);

// False when there is no clipboard (no application object).
bool SetClipboardBytes(std::string_view formatName, std::span<const std::uint8_t> bytes);
// The whole block, or nothing when the clipboard holds no data of that format.
std::optional<std::vector<std::uint8_t>> ClipboardBytes(std::string_view formatName);
bool IsClipboardFormatAvailable(std::string_view formatName);

}  // namespace platform
