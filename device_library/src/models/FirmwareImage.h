// A firmware image file as the firmware jobs read it: every region at its own file offset, bytes
// past the end of a short file read as erased flash (0xFF), the MCU program with its checksum
// word, and the marker blocks that bracket an upgrade.
#ifndef QUARRY_MODELS_FIRMWARE_IMAGE_H
#define QUARRY_MODELS_FIRMWARE_IMAGE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device_library/src/models/ModelMemoryMap.h"

namespace QuarryDriver {

inline constexpr std::size_t kMarkerBlockSize = 256;
using MarkerBlock = std::array<std::uint8_t, kMarkerBlockSize>;

class FirmwareImage {
public:
    enum class LoadResult {
        Loaded,
        EmptyPath,
        CannotOpen,
        ReadFailed,
        // The version text block (flash 0x52000) is not wholly inside the file, is erased (0xFF)
        // or is all zero (the erase marker). Its restore is the upgrade's last write and the amplifier only leaves its
        // boot loader when it holds a version, so such a file would strand the amplifier.
        NoVersionText,
    };

    LoadResult Load(const std::string& path);

    // Bytes actually read from the file (at most the span of the regions).
    std::size_t FileBytes() const { return fileBytes_; }

    // A copy of `size` bytes at `fileOffset`; 0xFF wherever the file had no byte.
    std::vector<std::uint8_t> Region(std::uint32_t fileOffset, std::uint32_t size) const;

    // The MCU program region with word 7 replaced so that words 0-7 (little-endian) sum to 0.
    std::vector<std::uint8_t> McuProgram() const;

    // 256 bytes of 0xFF whose first 16 bytes come from the file's text block at `fileOffset`.
    MarkerBlock RestoreBlock(std::uint32_t fileOffset) const;

    // 16 zero bytes followed by 0xFF: tells the amplifier the block's region is being rewritten.
    static MarkerBlock EraseMarker();

private:
    std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(memory_map::kFirmwareFileSpan, 0xFF);
    std::size_t fileBytes_ = 0;
};

// Replaces word 7 of the first eight little-endian 32-bit words by the two's complement of the
// sum of words 0-6. `program` must hold at least 32 bytes.
void SealMcuProgram(std::vector<std::uint8_t>& program);

}  // namespace QuarryDriver

#endif
