// One copied block on the clipboard, in the format "__VeskQuarry_BlockParamInfo__": a
// little-endian block type (u32), the name's length n in bytes (i32), the name in the ANSI
// code page without a terminating zero, and then the block's parameter blob up to the end.
// The clipboard may hold bytes from any writer, so reading checks every length before it
// takes anything and returns either the whole block or nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The fixed head: type and name length.
inline constexpr std::size_t kBlockClipboardHeaderSize = 8;
// A longer name is cut to this many bytes when read; the blob still starts after all of it.
inline constexpr std::size_t kBlockClipboardNameLimit = 256;

struct BlockClipboardData {
    std::uint32_t type = 0;
    std::u16string name;
    std::vector<std::uint8_t> blob;  // possibly empty
};

// The bytes for the clipboard: type, the name converted to the ANSI code page (characters it
// lacks become '?'), and `blobSize` bytes from `blob` (null for an empty blob).
std::vector<std::uint8_t> WriteBlockClipboardData(std::uint32_t type, std::u16string_view name,
                                                  const std::uint8_t* blob, std::uint32_t blobSize);

// The block the bytes hold. Nothing when they cannot be one: fewer than 8 bytes, a negative
// name length, or a name that runs past the end.
std::optional<BlockClipboardData> ReadBlockClipboardData(std::span<const std::uint8_t> bytes);
